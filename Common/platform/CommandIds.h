#pragma once
// Command ids, control ids, private message numbers and timer ids of both programs, in one place. Menus, the
// toolbars, accelerators, the list's context menu and saved layouts all refer to these numbers, so they never
// change. The two programs number several commands differently (New Directory is 32776 on the desktop and 32773
// on the handheld): each program's own ids are in its own namespace, beside the shared ones.

namespace nsIds
{

// ---- Shared by both programs ----

inline constexpr int kConnect = 32771;
inline constexpr int kDisconnect = 32772;
inline constexpr int kEditCopy = 57634;
inline constexpr int kEditPaste = 57637;
inline constexpr int kEditFind = 57636;
inline constexpr int kAppAbout = 57664;
inline constexpr int kAppExit = 57665;
inline constexpr int kViewList = 59410;    // view mode 3
inline constexpr int kViewDetails = 59411; // view mode 1

// Private messages. Here they travel as queued calls or events; the numbers name them in both programs.
inline constexpr int WM_USER = 0x400;
inline constexpr int WM_SOCKET_ACTIVITY = WM_USER + 345;  // 0x559: socket layer to the view, restart the keep-alive
inline constexpr int kMsgJobProgress = WM_USER + 101;     // 0x465: transfer worker to its dialog
inline constexpr int kMsgUploadFileList = WM_USER + 770;  // 0x702: desktop drop target to the view
inline constexpr int kMsgClipboardSource = WM_USER + 775; // 0x707: handheld list asks its view for the copied list

// Timers.
inline constexpr int kKeepAliveTimer = 345; // each view: PWD after this long without socket traffic
inline constexpr int kKeepAliveMs = 30000;
inline constexpr int kFindCloseTimer = 1; // find dialog: close once the search thread has ended
inline constexpr int kFindStopTimer = 2;  // find dialog: finish stopping once the search thread has ended
inline constexpr int kFindTimerMs = 100;

// ---- Desktop (Bollard) ----

namespace Desktop
{

// File menu.
inline constexpr int kNewDirectory = 32776;
inline constexpr int kDelete = 32777;
inline constexpr int kRename = 32778;
inline constexpr int kProperties = 32779;
// Tools menu and toolbar.
inline constexpr int kChmod = 32781;
// View menu.
inline constexpr int kViewIcons = 32787; // view mode 0
inline constexpr int kViewToolBar = 59392;
inline constexpr int kViewFilterBar = 32800;
inline constexpr int kViewStatusBar = 59393;
// Help menu.
inline constexpr int kWebSite = 32803;
// The Ctrl+D accelerator's id, which nothing handles (the Delete menu item names Ctrl+D as well).
inline constexpr int kDeleteAccelerator = 32773;

// Form of the view.
inline constexpr int kFolderCombo = 1000;
inline constexpr int kUpButton = 1001; // also its command
inline constexpr int kList = 1002;
inline constexpr int kGoButton = 1003; // also its command
inline constexpr int kFolderLabel = 1030;

// Filter bar.
inline constexpr int kFilterBar = 103;
inline constexpr int kFilterEdit = 1010;
inline constexpr int kKindCombo = 1042;
inline constexpr int kTypeCombo = 1043;
inline constexpr int kFilterHide = 1044;    // the "Hide" button and its command
inline constexpr int kFilterRefresh = 1049; // the hidden "Refresh" button: the command the bar sends

// Status bar indicators (panes 1 to 3).
inline constexpr int kIndicatorDirectories = 59142;
inline constexpr int kIndicatorFiles = 59143;
inline constexpr int kIndicatorBytes = 59144;

// Main frame timer: puts "Ready" back into status pane 0.
inline constexpr int kReadyTimer = 1;
inline constexpr int kReadyMs = 15000;

} // namespace Desktop

// ---- Handheld (Capstan) ----

namespace Handheld
{

// File menu.
inline constexpr int kNewDirectory = 32773;
inline constexpr int kRenameOrMove = 32774;
inline constexpr int kDelete = 32775;
inline constexpr int kProperties = 32776;
// Tools menu and toolbar.
inline constexpr int kChmod = 32777;
// View menu.
inline constexpr int kViewIcons = 32779; // view mode 0
// Help menu.
inline constexpr int kWebSite = 32785;
// Menu bar's first button and Ctrl+N; open document.
inline constexpr int kFileNew = 57600;
inline constexpr int kFileOpen = 57601;
// Accelerators without a handler.
inline constexpr int kEditCut = 57635;
inline constexpr int kEditUndo = 57643;

// Form of the view.
inline constexpr int kRemoteFolderCombo = 1000;
inline constexpr int kLocalFolderCombo = 1001;
inline constexpr int kRemoteList = 1002;
inline constexpr int kLocalList = 1004;
inline constexpr int kPaneSelector = 1040;

} // namespace Handheld

} // namespace nsIds
