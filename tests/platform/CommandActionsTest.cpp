#include "platform/CommandActions.h"

#include "platform/CommandIds.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QTimer>

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace
{

// A view in miniature: a connection flag, a view mode and a log of the commands it ran.
class CTarget : public ICommandTarget
{
public:
    bool OnCommand(int nId) override
    {
        m_vRun.push_back(nId);
        switch (nId)
        {
        case nsIds::kConnect:
            m_fConnected = true;
            return true;
        case nsIds::Desktop::kViewIcons:
            m_nMode = 0;
            return true;
        case nsIds::kViewDetails:
            m_nMode = 1;
            return true;
        default:
            return false;
        }
    }
    void UpdateCommand(int nId, CCommandState& state) override
    {
        ++m_nUpdates;
        switch (nId)
        {
        case nsIds::kConnect:
            state.fEnabled = !m_fConnected;
            break;
        case nsIds::kDisconnect:
            state.fEnabled = m_fConnected;
            break;
        case nsIds::Desktop::kViewIcons:
            state.fChecked = m_nMode == 0;
            break;
        case nsIds::kViewDetails:
            state.fChecked = m_nMode == 1;
            break;
        default:
            break;
        }
    }

    bool m_fConnected = false;
    int m_nMode = 1;
    int m_nUpdates = 0;
    std::vector<int> m_vRun;
};

class CommandActionsTest : public ::testing::Test
{
protected:
    CommandActionsTest() : m_actions(m_target)
    {
        m_actions.Add(nsIds::kConnect, QStringLiteral("Connect..."));
        m_actions.Add(nsIds::kDisconnect, QStringLiteral("Disconnect"));
        m_actions.Add(nsIds::Desktop::kDelete, QStringLiteral("&Delete\tCtrl+D"),
                      {QKeySequence(QStringLiteral("Ctrl+D"))});
        m_actions.Add(nsIds::Desktop::kViewIcons, QStringLiteral("&Icons"), {}, CCommandActions::EMark::Radio);
        m_actions.Add(nsIds::kViewDetails, QStringLiteral("&Details"), {}, CCommandActions::EMark::Radio);
    }

    QAction& Action(int nId)
    {
        QAction* pAction = m_actions.Action(nId);
        EXPECT_NE(pAction, nullptr) << nId;
        return *pAction;
    }

    CTarget m_target;
    CCommandActions m_actions;
};

TEST_F(CommandActionsTest, ActionsCarryIdTextAndShortcutAndAreMadeOnce)
{
    QAction& del = Action(nsIds::Desktop::kDelete);
    EXPECT_EQ(del.data().toInt(), nsIds::Desktop::kDelete);
    EXPECT_EQ(del.text(), QStringLiteral("&Delete\tCtrl+D"));
    EXPECT_EQ(del.shortcut(), QKeySequence(QStringLiteral("Ctrl+D")));
    EXPECT_EQ(m_actions.Add(nsIds::Desktop::kDelete, QStringLiteral("other")), &del);
    EXPECT_EQ(del.text(), QStringLiteral("&Delete\tCtrl+D"));
    EXPECT_EQ(m_actions.Action(nsIds::kAppAbout), nullptr);
    // Radio actions look like radio items in menus.
    ASSERT_NE(Action(nsIds::kViewDetails).actionGroup(), nullptr);
    EXPECT_TRUE(Action(nsIds::kViewDetails).actionGroup()->isExclusive());
}

TEST_F(CommandActionsTest, TriggeringDispatchesByIdAndRefreshesEveryState)
{
    EXPECT_TRUE(Action(nsIds::kConnect).isEnabled());
    EXPECT_FALSE(Action(nsIds::kDisconnect).isEnabled());
    EXPECT_TRUE(Action(nsIds::kViewDetails).isChecked());
    EXPECT_FALSE(Action(nsIds::Desktop::kViewIcons).isChecked());

    Action(nsIds::kConnect).trigger();
    Action(nsIds::Desktop::kViewIcons).trigger();
    EXPECT_EQ(m_target.m_vRun, (std::vector<int>{nsIds::kConnect, nsIds::Desktop::kViewIcons}));
    EXPECT_FALSE(Action(nsIds::kConnect).isEnabled());
    EXPECT_TRUE(Action(nsIds::kDisconnect).isEnabled());
    EXPECT_TRUE(Action(nsIds::Desktop::kViewIcons).isChecked());
    EXPECT_FALSE(Action(nsIds::kViewDetails).isChecked());

    // Triggering the checked item again keeps the mark where the target says it is.
    Action(nsIds::Desktop::kViewIcons).trigger();
    EXPECT_TRUE(Action(nsIds::Desktop::kViewIcons).isChecked());
}

TEST_F(CommandActionsTest, CommandsTheTargetDisablesAreNotRun)
{
    m_target.m_fConnected = true; // the actions have not been told yet
    EXPECT_TRUE(Action(nsIds::kConnect).isEnabled());
    Action(nsIds::kConnect).trigger();
    EXPECT_TRUE(m_target.m_vRun.empty());
    EXPECT_FALSE(Action(nsIds::kConnect).isEnabled());

    // Sent by id (as the list's context menu does), with the same rule; unknown ids reach the target too.
    EXPECT_FALSE(m_actions.OnCommand(nsIds::kConnect));
    EXPECT_FALSE(m_actions.OnCommand(nsIds::Desktop::kWebSite));
    EXPECT_TRUE(m_actions.OnCommand(nsIds::kViewDetails));
    EXPECT_EQ(m_target.m_vRun, (std::vector<int>{nsIds::Desktop::kWebSite, nsIds::kViewDetails}));
}

TEST_F(CommandActionsTest, WatchedMenuAsksBeforeItOpens)
{
    QMenu menu;
    menu.addAction(&Action(nsIds::kConnect));
    menu.addAction(&Action(nsIds::kDisconnect));
    m_actions.WatchMenu(menu);

    m_target.m_fConnected = true;
    bool fSeenDisabled = false;
    QTimer::singleShot(0, &menu,
                       [&]
                       {
                           fSeenDisabled =
                               !Action(nsIds::kConnect).isEnabled() && Action(nsIds::kDisconnect).isEnabled();
                           menu.close();
                       });
    menu.exec(QPoint(10, 10));
    EXPECT_TRUE(fSeenDisabled);
}

} // namespace
