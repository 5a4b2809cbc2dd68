#include "StaticEx.h"

#include <QIcon>
#include <QPainter>
#include <QPalette>

CStaticEx::CStaticEx(QWidget* pParent) : QWidget(pParent)
{
    setFixedSize(kIconExtent, kIconExtent);
    // We fill every pixel ourselves, so Qt need not erase the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CStaticEx::SetIcon(const QIcon* pIcon)
{
    m_pIcon = pIcon;
    update();
}

void CStaticEx::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    if (m_pIcon == nullptr || m_pIcon->isNull()) return;
    const QPixmap pixmap = m_pIcon->pixmap(QSize(kIconExtent, kIconExtent), devicePixelRatioF());
    painter.drawPixmap(0, 0, pixmap);
}
