#include "platform/WaitCursor.h"

#include <QCursor>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <optional>
#include <thread>

namespace
{

// The shape shown over the application, or none when no wait cursor is up.
std::optional<Qt::CursorShape> Override()
{
    const QCursor* pCursor = QGuiApplication::overrideCursor();
    if (pCursor == nullptr) return std::nullopt;
    return pCursor->shape();
}

TEST(WaitCursorTest, NestedGuardsBalance)
{
    ASSERT_EQ(Override(), std::nullopt);
    {
        const CWaitCursor outer;
        EXPECT_EQ(Override(), Qt::WaitCursor);
        {
            CWaitCursor inner;
            EXPECT_EQ(Override(), Qt::WaitCursor);
            inner.Release();
            inner.Release();
            EXPECT_EQ(Override(), Qt::WaitCursor);
        }
        EXPECT_EQ(Override(), Qt::WaitCursor);
    }
    EXPECT_EQ(Override(), std::nullopt);
}

TEST(WaitCursorTest, EarlyReleaseAndWorkerGuardsLeaveNothingBehind)
{
    {
        CWaitCursor guard;
        guard.Release();
        EXPECT_EQ(Override(), std::nullopt);
    }
    std::optional<Qt::CursorShape> shapeInWorker;
    std::thread worker(
        [&]
        {
            const CWaitCursor guard;
            shapeInWorker = Override();
        });
    worker.join();
    EXPECT_EQ(shapeInWorker, std::nullopt);
    EXPECT_EQ(Override(), std::nullopt);
}

} // namespace
