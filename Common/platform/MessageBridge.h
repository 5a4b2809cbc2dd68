#pragma once
// What the engine tells the user, shown the way the programs show it: errors in message boxes titled
// "Ravelin FTP Client", reply texts in status pane 0. Also the message box itself, which any thread may show.
//
// Widgets live on the UI thread. A message box asked for on another thread is shown by the UI thread while the
// caller waits, so the UI thread must keep serving events meanwhile (wait for workers in a QEventLoop, never in
// a plain join), or both threads stop.

#include "ftp/Report.h"

#include <QMessageBox>
#include <QString>

#include <vector>

namespace nsUi
{

inline constexpr const char* kAppTitle = "Ravelin FTP Client";

// Shows a modal message box with the program's title and returns the button chosen. On the UI thread it is
// owned by the active window; from another thread it has no owner. Without a QApplication it shows nothing and
// returns NoButton.
QMessageBox::StandardButton MessageBox(const QString& strText, QMessageBox::Icon icon = QMessageBox::Critical,
                                       QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                       QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

// One message box as the auto-answer saw it.
struct CShownMessage
{
    QString strText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    bool fFromUiThread = false; // false: a worker asked for it and waited
};

// For tests: while one lives, MessageBox shows nothing; it records each message and returns the given answer.
// Made and destroyed on the UI thread; not nested.
class CMessageBoxAutoAnswer
{
public:
    explicit CMessageBoxAutoAnswer(QMessageBox::StandardButton answer = QMessageBox::Ok);
    ~CMessageBoxAutoAnswer();
    CMessageBoxAutoAnswer(const CMessageBoxAutoAnswer&) = delete;
    CMessageBoxAutoAnswer& operator=(const CMessageBoxAutoAnswer&) = delete;

    std::vector<CShownMessage> Messages() const;
};

} // namespace nsUi

// The engine's report object for both programs; installs itself while it lives (made on the UI thread).
class CMessageBridge : public nsFTP::IReport
{
public:
    CMessageBridge();
    ~CMessageBridge() override;
    CMessageBridge(const CMessageBridge&) = delete;
    CMessageBridge& operator=(const CMessageBridge&) = delete;

    // A critical message box with OK; an empty text shows nothing. Blocks a calling worker until it is closed.
    void ShowError(const std::wstring& strText) override;
    // Status pane 0; nothing when no status panes are installed (the handheld program).
    void ShowReplyText(const std::wstring& strText) override;
};
