#include "StatusPanes.h"

#include "UiThread.h"

#include <QCoreApplication>
#include <QLabel>
#include <QStatusBar>

#include <atomic>

namespace nsUi
{

namespace
{
std::atomic<IStatusPanes*> g_pPanes{nullptr};
}

void InstallStatusPanes(IStatusPanes* pPanes)
{
    g_pPanes.store(pPanes);
}

IStatusPanes* InstalledStatusPanes()
{
    return g_pPanes.load();
}

void SetStatusPaneText(int nPane, const QString& strText)
{
    if (IsUiThread())
    {
        if (IStatusPanes* p = g_pPanes.load()) p->SetPaneText(nPane, strText);
        return;
    }
    // The panes are looked up when the call arrives: they may have gone meanwhile.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [nPane, strText]
        {
            if (IStatusPanes* p = g_pPanes.load()) p->SetPaneText(nPane, strText);
        },
        Qt::QueuedConnection);
}

} // namespace nsUi

CStatusBarPanes::CStatusBarPanes(QStatusBar& bar, const QStringList& strIndicators) : QObject(&bar)
{
    for (int n = 0; n < kPaneCount; ++n)
    {
        auto* pLabel = new QLabel(&bar);
        pLabel->setObjectName(QStringLiteral("pane%1").arg(n));
        if (n == 0)
        {
            bar.addWidget(pLabel, 1);
        }
        else
        {
            if (n - 1 < strIndicators.size())
                pLabel->setMinimumWidth(pLabel->fontMetrics().horizontalAdvance(strIndicators[n - 1]));
            bar.addPermanentWidget(pLabel);
        }
        m_vPanes[n] = pLabel;
    }
    nsUi::InstallStatusPanes(this);
}

CStatusBarPanes::~CStatusBarPanes()
{
    if (nsUi::InstalledStatusPanes() == this) nsUi::InstallStatusPanes(nullptr);
}

void CStatusBarPanes::SetPaneText(int nPane, const QString& strText)
{
    if (nPane < 0 || nPane >= kPaneCount || m_vPanes[nPane].isNull()) return;
    m_vPanes[nPane]->setText(strText);
}

QString CStatusBarPanes::PaneText(int nPane) const
{
    if (nPane < 0 || nPane >= kPaneCount || m_vPanes[nPane].isNull()) return {};
    return m_vPanes[nPane]->text();
}
