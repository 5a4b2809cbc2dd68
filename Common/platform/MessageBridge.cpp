#include "MessageBridge.h"

#include "StatusPanes.h"
#include "UiThread.h"

#include <QApplication>

#include <mutex>
#include <optional>

namespace nsUi
{

namespace
{

struct CAutoAnswerState
{
    std::mutex mutex;
    std::optional<QMessageBox::StandardButton> answer;
    std::vector<CShownMessage> vMessages;
};

CAutoAnswerState& AutoAnswer()
{
    static CAutoAnswerState state;
    return state;
}

QMessageBox::StandardButton ShowNow(const QString& strText, QMessageBox::Icon icon,
                                    QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton,
                                    bool fFromUiThread)
{
    {
        CAutoAnswerState& state = AutoAnswer();
        std::lock_guard lock(state.mutex);
        if (state.answer)
        {
            state.vMessages.push_back({strText, icon, buttons, fFromUiThread});
            return *state.answer;
        }
    }
    QWidget* pOwner = nullptr;
    if (fFromUiThread)
        pOwner = QApplication::activeModalWidget() != nullptr ? QApplication::activeModalWidget()
                                                              : QApplication::activeWindow();
    QMessageBox box(icon, QString::fromLatin1(kAppTitle), strText, buttons, pOwner);
    if (defaultButton != QMessageBox::NoButton) box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

QMessageBox::StandardButton MessageBox(const QString& strText, QMessageBox::Icon icon,
                                       QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    QCoreApplication* pApp = QCoreApplication::instance();
    if (qobject_cast<QApplication*>(pApp) == nullptr) return QMessageBox::NoButton;
    const bool fFromUiThread = IsUiThread();
    QMessageBox::StandardButton answer = QMessageBox::NoButton;
    RunOnUiThreadAndWait([&] { answer = ShowNow(strText, icon, buttons, defaultButton, fFromUiThread); });
    return answer;
}

CMessageBoxAutoAnswer::CMessageBoxAutoAnswer(QMessageBox::StandardButton answer)
{
    CAutoAnswerState& state = AutoAnswer();
    std::lock_guard lock(state.mutex);
    state.answer = answer;
    state.vMessages.clear();
}

CMessageBoxAutoAnswer::~CMessageBoxAutoAnswer()
{
    CAutoAnswerState& state = AutoAnswer();
    std::lock_guard lock(state.mutex);
    state.answer.reset();
    state.vMessages.clear();
}

std::vector<CShownMessage> CMessageBoxAutoAnswer::Messages() const
{
    CAutoAnswerState& state = AutoAnswer();
    std::lock_guard lock(state.mutex);
    return state.vMessages;
}

} // namespace nsUi

CMessageBridge::CMessageBridge()
{
    nsFTP::SetReport(this);
}

CMessageBridge::~CMessageBridge()
{
    if (nsFTP::GetReport() == this) nsFTP::SetReport(nullptr);
}

void CMessageBridge::ShowError(const std::wstring& strText)
{
    if (strText.empty()) return;
    nsUi::MessageBox(QString::fromStdWString(strText), QMessageBox::Critical, QMessageBox::Ok);
}

void CMessageBridge::ShowReplyText(const std::wstring& strText)
{
    nsUi::SetStatusPaneText(0, QString::fromStdWString(strText));
}
