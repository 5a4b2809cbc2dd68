#pragma once
// One QAction per command id of a program, dispatching to one command target. Menus and toolbars show these
// actions; UpdateAll asks the target for every action's state. Call it after any change of state; WatchMenu
// makes a menu call it each time before it opens.
//
// The object is itself a command target: a command sent to it by id (the list's context menu, for one) reaches
// the target only when the target says it is enabled, exactly as a greyed menu item or key would not.

#include "CommandTarget.h"

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>

#include <map>

class QAction;
class QActionGroup;
class QMenu;

class CCommandActions : public QObject, public ICommandTarget
{
    Q_OBJECT

public:
    enum class EMark
    {
        None,
        Check, // a check mark when the target says checked
        Radio, // a radio mark; all Radio actions of this object form one group (the view modes)
    };

    // The target must outlive this object.
    explicit CCommandActions(ICommandTarget& target, QObject* pParent = nullptr);
    ~CCommandActions() override;

    // The action for nId, made on first use. The text may carry "\t" and a key text, which menus show at the
    // right ("&Delete\tCtrl+D"); the shortcuts are the keys that trigger it. A second call returns the existing
    // action unchanged.
    QAction* Add(int nId, const QString& strText, const QList<QKeySequence>& shortcuts = {}, EMark mark = EMark::None);
    // Null for an id never added.
    QAction* Action(int nId) const;

    void UpdateAll();
    void WatchMenu(QMenu& menu);

    // Ids that were never added go straight to the target's update and dispatch as well.
    bool OnCommand(int nId) override;
    void UpdateCommand(int nId, CCommandState& state) override;

private:
    void Apply(int nId, QAction& action);

    ICommandTarget& m_target;
    std::map<int, QAction*> m_mapActions;  // owned as children
    QActionGroup* m_pRadioGroup = nullptr; // child, made with the first Radio action
};
