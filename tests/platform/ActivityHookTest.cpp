#include "platform/ActivityHook.h"

#include "platform/EventLoopWait.h"

#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace
{

TEST(ActivityHookTest, OnTheUiThreadTheSignalComesAtOnce)
{
    const CActivityHook hook;
    int nCount = 0;
    QObject::connect(&hook, &CActivityHook::Activity, [&] { ++nCount; });
    nsSocket::NotifyActivity();
    EXPECT_EQ(nCount, 1);
}

TEST(ActivityHookTest, WorkerWaitsUntilTheUiThreadHasHandledEachNotification)
{
    const CActivityHook hook;
    std::atomic<int> nHandled{0};
    std::atomic<bool> fAllOnUiThread{true};
    QObject::connect(&hook, &CActivityHook::Activity,
                     [&]
                     {
                         if (QThread::currentThread() != qApp->thread()) fAllOnUiThread = false;
                         ++nHandled;
                     });

    constexpr int kCalls = 20;
    std::atomic<int> nInOrder{0};
    std::atomic<bool> fDone{false};
    std::thread worker(
        [&]
        {
            for (int n = 1; n <= kCalls; ++n)
            {
                nsSocket::NotifyActivity();
                // Synchronous: the slot has run before the call returns.
                if (nHandled.load() == n) ++nInOrder;
            }
            fDone = true;
        });
    const bool fFinished = nsTest::SpinUntil([&] { return fDone.load(); });
    worker.join();
    ASSERT_TRUE(fFinished);
    EXPECT_EQ(nHandled.load(), kCalls);
    EXPECT_EQ(nInOrder.load(), kCalls);
    EXPECT_TRUE(fAllOnUiThread.load());
}

TEST(ActivityHookTest, WithoutAHookNothingHappens)
{
    int nCount = 0;
    {
        const CActivityHook hook;
        QObject::connect(&hook, &CActivityHook::Activity, [&] { ++nCount; });
    }
    nsSocket::NotifyActivity();
    std::thread worker([] { nsSocket::NotifyActivity(); });
    worker.join();
    EXPECT_EQ(nCount, 0);
}

} // namespace
