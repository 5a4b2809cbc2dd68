#include "CommandActions.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

CCommandActions::CCommandActions(ICommandTarget& target, QObject* pParent) : QObject(pParent), m_target(target) {}

CCommandActions::~CCommandActions() = default;

QAction* CCommandActions::Add(int nId, const QString& strText, const QList<QKeySequence>& shortcuts, EMark mark)
{
    if (QAction* pExisting = Action(nId)) return pExisting;
    auto* pAction = new QAction(strText, this);
    pAction->setData(nId);
    pAction->setShortcuts(shortcuts);
    if (mark != EMark::None) pAction->setCheckable(true);
    if (mark == EMark::Radio)
    {
        if (m_pRadioGroup == nullptr)
        {
            m_pRadioGroup = new QActionGroup(this);
            // Optional, so that UpdateAll may leave every mark off when the target says so.
            m_pRadioGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
        }
        m_pRadioGroup->addAction(pAction);
    }
    connect(pAction, &QAction::triggered, this, [this, nId] { OnCommand(nId); });
    m_mapActions.emplace(nId, pAction);
    Apply(nId, *pAction);
    return pAction;
}

QAction* CCommandActions::Action(int nId) const
{
    const auto it = m_mapActions.find(nId);
    return it == m_mapActions.end() ? nullptr : it->second;
}

void CCommandActions::UpdateAll()
{
    for (const auto& [nId, pAction] : m_mapActions)
        Apply(nId, *pAction);
}

void CCommandActions::WatchMenu(QMenu& menu)
{
    connect(&menu, &QMenu::aboutToShow, this, &CCommandActions::UpdateAll);
}

bool CCommandActions::OnCommand(int nId)
{
    CCommandState state;
    m_target.UpdateCommand(nId, state);
    const bool fHandled = state.fEnabled && m_target.OnCommand(nId);
    // The command may have changed what is available (a connection, a view mode), and triggering a checkable
    // action has flipped its mark on its own.
    UpdateAll();
    return fHandled;
}

void CCommandActions::UpdateCommand(int nId, CCommandState& state)
{
    m_target.UpdateCommand(nId, state);
}

void CCommandActions::Apply(int nId, QAction& action)
{
    CCommandState state;
    m_target.UpdateCommand(nId, state);
    action.setEnabled(state.fEnabled);
    if (action.isCheckable()) action.setChecked(state.fChecked);
}
