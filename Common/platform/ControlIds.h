#pragma once
// Dialog template ids and control ids of the shared dialogs, kept in one place. The desktop and the handheld
// program build the same dialogs from different templates; where their ids differ, both stand side by side in a
// CIdPair. Every control built from these ids carries the id as its objectName ("1004"), and every dialog its
// template id, so tests and tools can find them.

#include "ProgramKind.h"

namespace nsIds
{

// One id that differs between the two programs.
struct CIdPair
{
    int nDesktop;
    int nHandheld;

    constexpr int For(EProgramKind kind) const { return kind == EProgramKind::Handheld ? nHandheld : nDesktop; }
};

// Standard dialog commands: the button or key that ends a dialog with this result.
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
// Labels and lines that nothing refers to.
inline constexpr int kStatic = -1;

// CFileAttributes: the nine permission boxes and the manual value sent with CHMOD.
namespace FileAttributes
{
inline constexpr CIdPair kTemplate{137, 135};
inline constexpr int kManualValue = 1004;
inline constexpr int kOwnerRead = 1019;
inline constexpr int kOwnerWrite = 1020;
inline constexpr int kOwnerExecute = 1017;
inline constexpr int kGroupRead = 1021;
inline constexpr int kGroupWrite = 1022;
inline constexpr int kGroupExecute = 1018;
inline constexpr int kPublicRead = 1023;
inline constexpr int kPublicWrite = 1024;
inline constexpr int kPublicExecute = 1025;
} // namespace FileAttributes

// CPropDlg: properties of one server entry or one device file.
namespace PropDlg
{
inline constexpr CIdPair kTemplate{134, 132};
inline constexpr int kReadOnly = 1010;
inline constexpr int kHidden = 1011;
inline constexpr int kSystem = 1012;
inline constexpr int kName = 1013;
inline constexpr int kPath = 1014;
inline constexpr int kSize = 1015;
inline constexpr int kAttributes = 1016;
inline constexpr int kModified = 1017;
inline constexpr int kIcon = 1018;
inline constexpr int kOwner = 1019;
inline constexpr int kAttributesLabel = 1032;
inline constexpr int kOwnerLabel = 1033;
} // namespace PropDlg

// CTextDlg: the one-line prompt for names and paths.
namespace TextDlg
{
inline constexpr CIdPair kTemplate{133, 131};
inline constexpr CIdPair kEdit{1010, 1011};
} // namespace TextDlg

// CAskReplaceDlg: the question before a transfer replaces an existing entry.
namespace AskReplaceDlg
{
inline constexpr CIdPair kTemplate{132, 130};
inline constexpr int kIcon = 1018;
inline constexpr int kServerText = 1035;
inline constexpr int kLocalText = 1036;
inline constexpr int kServerLabel = 1037;
inline constexpr int kLocalLabel = 1038;
inline constexpr int kQuestion = 1039;
} // namespace AskReplaceDlg

} // namespace nsIds
