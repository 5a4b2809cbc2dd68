#pragma once
// Bounded waits for widget tests: the UI thread keeps serving events (blocking calls from workers, timers,
// queued texts) until a condition holds or the time-out passes.

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <functional>
#include <memory>

namespace nsTest
{

// Runs a local event loop until fnDone() is true or timeout has passed; returns fnDone().
inline bool SpinUntil(const std::function<bool()>& fnDone,
                      std::chrono::milliseconds timeout = std::chrono::milliseconds(5000))
{
    if (fnDone()) return true;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop,
                     [&]
                     {
                         if (fnDone()) loop.quit();
                     });
    poll.start(1);
    QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
    loop.exec();
    return fnDone();
}

// Calls fnHandle with the first modal widget that opens within the time-out (for example a message box shown
// by exec()); fnHandle must close it. The watcher stops itself after one widget or at the time-out.
inline void HandleNextModal(const std::function<void(QWidget&)>& fnHandle,
                            std::chrono::milliseconds timeout = std::chrono::milliseconds(5000))
{
    auto* pTimer = new QTimer(qApp);
    auto nTicks = std::make_shared<long long>(timeout.count() / 10);
    QObject::connect(pTimer, &QTimer::timeout, pTimer,
                     [pTimer, nTicks, fnHandle]
                     {
                         if (QWidget* pModal = QApplication::activeModalWidget())
                         {
                             pTimer->stop();
                             pTimer->deleteLater();
                             fnHandle(*pModal);
                         }
                         else if (--*nTicks <= 0)
                         {
                             pTimer->stop();
                             pTimer->deleteLater();
                         }
                     });
    pTimer->start(10);
}

} // namespace nsTest
