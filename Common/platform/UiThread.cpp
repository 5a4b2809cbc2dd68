#include "UiThread.h"

#include <QCoreApplication>
#include <QThread>

namespace nsUi
{

bool IsUiThread()
{
    const QCoreApplication* pApp = QCoreApplication::instance();
    return pApp == nullptr || QThread::currentThread() == pApp->thread();
}

void RunOnUiThreadAndWait(const std::function<void()>& fn)
{
    if (IsUiThread())
        fn();
    else
        QMetaObject::invokeMethod(QCoreApplication::instance(), fn, Qt::BlockingQueuedConnection);
}

} // namespace nsUi
