#include "platform/StatusPanes.h"

#include "platform/EventLoopWait.h"

#include <QLabel>
#include <QStatusBar>

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <utility>
#include <vector>

namespace
{

class CPaneRecorder : public nsUi::IStatusPanes
{
public:
    void SetPaneText(int nPane, const QString& strText) override { m_vTexts.emplace_back(nPane, strText); }
    std::vector<std::pair<int, QString>> m_vTexts;
};

TEST(StatusPanesTest, TextsWithoutInstalledPanesGoNowhere)
{
    ASSERT_EQ(nsUi::InstalledStatusPanes(), nullptr);
    nsUi::SetStatusPaneText(1, QStringLiteral("Directories: 2"));
    std::thread worker([] { nsUi::SetStatusPaneText(0, QStringLiteral("from a worker")); });
    worker.join();
    QCoreApplication::processEvents();
}

TEST(StatusPanesTest, WorkerTextsArriveOnTheUiThreadInOrder)
{
    CPaneRecorder recorder;
    nsUi::InstallStatusPanes(&recorder);
    std::thread worker(
        []
        {
            for (int n = 0; n < 50; ++n)
                nsUi::SetStatusPaneText(n % 4, QString::number(n));
        });
    worker.join();
    EXPECT_TRUE(nsTest::SpinUntil([&] { return recorder.m_vTexts.size() == 50; }));
    nsUi::InstallStatusPanes(nullptr);
    for (int n = 0; n < static_cast<int>(recorder.m_vTexts.size()); ++n)
        EXPECT_EQ(recorder.m_vTexts[n], std::make_pair(n % 4, QString::number(n)));
}

TEST(StatusPanesTest, StatusBarPanesShowTheirTextsAndUninstallWithTheBar)
{
    auto pBar = std::make_unique<QStatusBar>();
    const auto* pPanes =
        new CStatusBarPanes(*pBar, {QStringLiteral("Directories:          "), QStringLiteral("Files:          "),
                                    QStringLiteral("                   bytes")});
    ASSERT_EQ(nsUi::InstalledStatusPanes(), pPanes);

    nsUi::SetStatusPaneText(0, QStringLiteral("Ready"));
    nsUi::SetStatusPaneText(1, QStringLiteral("Directories: 2"));
    nsUi::SetStatusPaneText(2, QStringLiteral("Files: 3"));
    nsUi::SetStatusPaneText(3, QStringLiteral("10 bytes"));
    nsUi::SetStatusPaneText(4, QStringLiteral("dropped"));
    nsUi::SetStatusPaneText(-1, QStringLiteral("dropped"));
    const QStringList kExpected = {QStringLiteral("Ready"), QStringLiteral("Directories: 2"),
                                   QStringLiteral("Files: 3"), QStringLiteral("10 bytes")};
    for (int n = 0; n < CStatusBarPanes::kPaneCount; ++n)
    {
        EXPECT_EQ(pPanes->PaneText(n), kExpected[n]);
        const auto* pLabel = pBar->findChild<QLabel*>(QStringLiteral("pane%1").arg(n));
        ASSERT_NE(pLabel, nullptr);
        EXPECT_EQ(pLabel->text(), kExpected[n]);
    }
    // Panes 1 to 3 are at least as wide as their indicator texts.
    const auto* pBytes = pBar->findChild<QLabel*>(QStringLiteral("pane3"));
    EXPECT_GE(pBytes->minimumWidth(),
              pBytes->fontMetrics().horizontalAdvance(QStringLiteral("                   bytes")));

    pBar.reset();
    EXPECT_EQ(nsUi::InstalledStatusPanes(), nullptr);
    nsUi::SetStatusPaneText(0, QStringLiteral("after the bar"));
}

} // namespace
