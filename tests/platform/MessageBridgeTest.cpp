#include "platform/MessageBridge.h"

#include "platform/EventLoopWait.h"
#include "platform/StatusPanes.h"

#include <QAbstractButton>
#include <QStatusBar>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{

// What a real message box showed before the test closed it with its OK button.
struct CSeenBox
{
    bool fSeen = false;
    QString strTitle;
    QString strText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

void CloseNextBoxWithOk(CSeenBox& seen)
{
    nsTest::HandleNextModal(
        [&seen](QWidget& widget)
        {
            auto* pBox = qobject_cast<QMessageBox*>(&widget);
            if (pBox == nullptr)
            {
                widget.close();
                return;
            }
            seen = {true, pBox->windowTitle(), pBox->text(), pBox->icon(), pBox->standardButtons()};
            if (QAbstractButton* pOk = pBox->button(QMessageBox::Ok))
                pOk->click();
            else
                pBox->done(QMessageBox::Cancel);
        });
}

TEST(MessageBridgeTest, ErrorsAreCriticalBoxesAndEmptyTextsShowNothing)
{
    const CMessageBridge bridge;
    const nsUi::CMessageBoxAutoAnswer answer;
    nsFTP::ReportError(L"550 No such file.");
    nsFTP::GetReport()->ShowError(L"");

    const std::vector<nsUi::CShownMessage> vMessages = answer.Messages();
    ASSERT_EQ(vMessages.size(), 1u);
    EXPECT_EQ(vMessages[0].strText, QStringLiteral("550 No such file."));
    EXPECT_EQ(vMessages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(vMessages[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_TRUE(vMessages[0].fFromUiThread);
}

TEST(MessageBridgeTest, WorkerWaitsForTheUiThreadsAnswer)
{
    const nsUi::CMessageBoxAutoAnswer answer(QMessageBox::Cancel);
    std::atomic<bool> fDone{false};
    QMessageBox::StandardButton chosen = QMessageBox::NoButton;
    std::thread worker(
        [&]
        {
            chosen = nsUi::MessageBox(QStringLiteral("Are you sure?"), QMessageBox::Question,
                                      QMessageBox::Ok | QMessageBox::Cancel);
            fDone = true;
        });
    const bool fFinished = nsTest::SpinUntil([&] { return fDone.load(); });
    worker.join();
    ASSERT_TRUE(fFinished);
    EXPECT_EQ(chosen, QMessageBox::Cancel);
    const std::vector<nsUi::CShownMessage> vMessages = answer.Messages();
    ASSERT_EQ(vMessages.size(), 1u);
    EXPECT_FALSE(vMessages[0].fFromUiThread);
    EXPECT_EQ(vMessages[0].icon, QMessageBox::Question);
}

TEST(MessageBridgeTest, RealBoxOnTheUiThread)
{
    const CMessageBridge bridge;
    CSeenBox seen;
    CloseNextBoxWithOk(seen);
    nsFTP::ReportError(L"Unable to receive data.\n\nError code: 104");

    ASSERT_TRUE(seen.fSeen);
    EXPECT_EQ(seen.strTitle, QStringLiteral("Ravelin FTP Client"));
    EXPECT_EQ(seen.strText, QStringLiteral("Unable to receive data.\n\nError code: 104"));
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

TEST(MessageBridgeTest, RealBoxAskedForByAWorker)
{
    const CMessageBridge bridge;
    CSeenBox seen;
    CloseNextBoxWithOk(seen);
    std::atomic<bool> fDone{false};
    std::thread worker(
        [&]
        {
            nsFTP::ReportError(L"421 Timeout.");
            fDone = true;
        });
    const bool fFinished = nsTest::SpinUntil([&] { return fDone.load(); }, std::chrono::milliseconds(10000));
    worker.join();
    ASSERT_TRUE(fFinished);
    EXPECT_TRUE(seen.fSeen);
    EXPECT_EQ(seen.strText, QStringLiteral("421 Timeout."));
}

TEST(MessageBridgeTest, ReplyTextsGoToPaneZeroFromAnyThread)
{
    const CMessageBridge bridge;
    QStatusBar bar;
    const auto* pPanes = new CStatusBarPanes(bar);

    nsFTP::ReportReplyText(L"230 Login successful.");
    EXPECT_EQ(pPanes->PaneText(0), QStringLiteral("230 Login successful."));

    std::thread worker([] { nsFTP::ReportReplyText(L"226 Transfer complete."); });
    worker.join();
    EXPECT_TRUE(nsTest::SpinUntil([&] { return pPanes->PaneText(0) == QStringLiteral("226 Transfer complete."); }));
    EXPECT_TRUE(pPanes->PaneText(1).isEmpty());
}

} // namespace
