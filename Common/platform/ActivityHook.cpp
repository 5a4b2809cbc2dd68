#include "ActivityHook.h"

#include <QThread>

CActivityHook::CActivityHook(QObject* pParent) : QObject(pParent)
{
    nsSocket::SetActivityHook(this);
}

CActivityHook::~CActivityHook()
{
    nsSocket::SetActivityHook(nullptr);
}

void CActivityHook::OnSocketActivity()
{
    if (QThread::currentThread() == thread())
        emit Activity();
    else
        QMetaObject::invokeMethod(this, &CActivityHook::Activity, Qt::BlockingQueuedConnection);
}
