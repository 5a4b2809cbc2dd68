#include "WaitCursor.h"

#include <QCursor>
#include <QGuiApplication>
#include <QThread>

CWaitCursor::CWaitCursor()
{
    const QCoreApplication* pApp = QCoreApplication::instance();
    if (qobject_cast<const QGuiApplication*>(pApp) == nullptr || QThread::currentThread() != pApp->thread()) return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    m_fShown = true;
}

CWaitCursor::~CWaitCursor()
{
    Release();
}

void CWaitCursor::Release()
{
    if (!m_fShown) return;
    m_fShown = false;
    QGuiApplication::restoreOverrideCursor();
}
