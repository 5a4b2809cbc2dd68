#include "WaitCursor.h"

#include "UiThread.h"

#include <QCursor>
#include <QGuiApplication>

CWaitCursor::CWaitCursor()
{
    if (qobject_cast<const QGuiApplication*>(QCoreApplication::instance()) == nullptr || !nsUi::IsUiThread()) return;
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
