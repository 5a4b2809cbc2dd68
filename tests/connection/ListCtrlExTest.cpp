#include "connection/ListCtrlEx.h"

#include "platform/CommandIds.h"
#include "platform/EventLoopWait.h"
#include "platform/ImageList.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialog>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{

// Receives the commands the list sends, as a view would.
class CCommandLog : public ICommandTarget
{
public:
    bool OnCommand(int nId) override
    {
        m_vIds.push_back(nId);
        return true;
    }
    void UpdateCommand(int, CCommandState&) override {}

    std::vector<int> m_vIds;
};

// "Copy,~Paste,-,View[Icons,List]": items in order, "~" before a greyed one, "-" for a separator.
QString Describe(const QMenu& menu)
{
    QStringList parts;
    for (const QAction* pAction : menu.actions())
    {
        if (pAction->isSeparator())
            parts << QStringLiteral("-");
        else if (pAction->menu() != nullptr)
            parts << pAction->text() + QLatin1Char('[') + Describe(*pAction->menu()) + QLatin1Char(']');
        else
            parts << (pAction->isEnabled() ? QString() : QStringLiteral("~")) + pAction->text();
    }
    return parts.join(QLatin1Char(','));
}

QAction* FindItem(const QMenu& menu, int nItem)
{
    for (QAction* pAction : menu.actions())
    {
        if (pAction->menu() == nullptr && !pAction->isSeparator() && pAction->data().toInt() == nItem) return pAction;
    }
    return nullptr;
}

void SendKey(QWidget& widget, int nKey)
{
    QKeyEvent press(QEvent::KeyPress, nKey, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &press);
}

void CloseAllPopups()
{
    for (int n = 0; n < 10 && QApplication::activePopupWidget() != nullptr; ++n)
        QApplication::activePopupWidget()->close();
}

// Watches for the next pop-up menu while it lives: describes the menu, then chooses the item with the given id
// the way a user with a keyboard would (opening the "View" sub-menu when the item is there); 0 closes the menu.
// A greyed or missing item closes the menu as well, and so does the time-out, so a test never hangs in a menu.
class CMenuChooser
{
public:
    explicit CMenuChooser(int nItem) : m_nItem(nItem)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Tick(); });
        m_timer.start(5);
    }

    // The menu as it opened, or empty when none did.
    const QString& Seen() const { return m_strSeen; }

private:
    void Tick()
    {
        if (--m_nTicks <= 0)
        {
            CloseAllPopups();
            m_timer.stop();
            return;
        }
        if (m_fOpened && (m_pTop.isNull() || !m_pTop->isVisible()))
        {
            m_timer.stop(); // the choice has been made
            return;
        }
        auto* pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (pMenu == nullptr) return;
        if (!m_fOpened)
        {
            m_fOpened = true;
            m_pTop = pMenu;
            m_strSeen = Describe(*pMenu);
        }
        if (m_nItem == 0)
        {
            CloseAllPopups();
            return;
        }
        if (QAction* pAction = FindItem(*pMenu, m_nItem))
        {
            if (!pAction->isEnabled())
            {
                CloseAllPopups();
                return;
            }
            pMenu->setActiveAction(pAction);
            SendKey(*pMenu, Qt::Key_Return);
            return;
        }
        for (QAction* pSub : pMenu->actions())
        {
            if (pSub->menu() != nullptr && FindItem(*pSub->menu(), m_nItem) != nullptr)
            {
                pMenu->setActiveAction(pSub);
                SendKey(*pMenu, Qt::Key_Right);
                return;
            }
        }
        CloseAllPopups();
    }

    int m_nItem;
    int m_nTicks = 400;
    bool m_fOpened = false;
    QPointer<QMenu> m_pTop;
    QString m_strSeen;
    QTimer m_timer;
};

std::vector<int> Rows(std::initializer_list<int> list)
{
    return std::vector<int>(list);
}

// The handheld's two panes, or the desktop's one list, inside a form, with five rows each.
class ListCtrlExTest : public ::testing::Test
{
protected:
    static constexpr int kEmptySpace = -1;
    static constexpr int kKeyboard = -2;

    void SetUp() override { QGuiApplication::clipboard()->clear(); }
    void TearDown() override { QGuiApplication::clipboard()->clear(); }

    CListCtrlEx& Make(EProgramKind kind, bool fRemote)
    {
        auto* pList = new CListCtrlEx(kind, fRemote, &m_form);
        m_form.layout()->addWidget(pList);
        pList->InsertColumn(0, QStringLiteral("Name"), Qt::AlignLeft, 150);
        pList->InsertColumn(1, QStringLiteral("Size"), Qt::AlignRight, 80);
        for (int n = 0; n < 5; ++n)
        {
            const int nRow = pList->InsertItem(CListCtrlEx::kAppend, QStringLiteral("file%1.txt").arg(n));
            pList->SetItemText(nRow, 1, QString::number(n * 100));
            pList->SetItemData(nRow, static_cast<std::uint32_t>(10 + n));
        }
        pList->SetCommandTarget(&m_log);
        return *pList;
    }

    void Show()
    {
        m_form.resize(400, 400);
        m_form.show();
    }

    // A right click on a row or on empty space, or the menu key.
    static void OpenMenu(CListCtrlEx& list, int nWhere)
    {
        QAbstractItemView* pView = list.CurrentView();
        if (nWhere == kKeyboard)
        {
            const QPoint pt(5, 5);
            QContextMenuEvent event(QContextMenuEvent::Keyboard, pt, pView->mapToGlobal(pt));
            QCoreApplication::sendEvent(pView, &event);
            return;
        }
        const QPoint pt = nWhere >= 0 ? pView->visualRect(pView->model()->index(nWhere, 0)).center()
                                      : QPoint(5, pView->viewport()->height() - 5);
        QContextMenuEvent event(QContextMenuEvent::Mouse, pt, pView->viewport()->mapToGlobal(pt));
        QCoreApplication::sendEvent(pView->viewport(), &event);
    }

    static void Select(CListCtrlEx& list, const std::vector<int>& vRows)
    {
        list.SetItemState(-1, 0, CListCtrlEx::kStateSelected | CListCtrlEx::kStateFocused);
        for (int nRow : vRows)
            list.SetItemState(nRow, CListCtrlEx::kStateSelected, CListCtrlEx::kStateSelected);
    }

    QWidget m_form;
    CCommandLog m_log;

private:
    QVBoxLayout* m_pLayout = new QVBoxLayout(&m_form);
};

enum class EClipboard
{
    Empty,
    Files,
    WebAddress,
};

enum class ESource
{
    None,
    ThisList,
    OtherList,
};

TEST_F(ListCtrlExTest, ContextMenuItemsGreyStatesAndCommands)
{
    const QString kAllOn = QStringLiteral("Copy,-,New Directory,Rename or Move,Delete,-,CHMOD...,Properties,-,"
                                          "View[Icons,List,Details]");
    const QString kNothingSelected = QStringLiteral("~Copy,-,New Directory,~Rename or Move,~Delete,-,~CHMOD...,"
                                                    "~Properties,-,View[Icons,List,Details]");
    const QString kAllGrey = QStringLiteral("~Copy,-,~New Directory,~Rename or Move,~Delete,-,~CHMOD...,~Properties,-,"
                                            "View[~Icons,~List,~Details]");
    const QString kWithPaste = QStringLiteral("Copy,Paste,-,New Directory,Rename or Move,Delete,-,CHMOD...,"
                                              "Properties,-,View[Icons,List,Details]");
    const QString kLocal =
        QStringLiteral("Copy,-,New Directory,Rename or Move,Delete,-,Properties,-,View[Icons,List,Details]");
    const QString kLocalWithPaste =
        QStringLiteral("Copy,Paste,-,New Directory,Rename or Move,Delete,-,Properties,-,View[Icons,List,Details]");
    const QString kLocalNothingSelected =
        QStringLiteral("~Copy,-,New Directory,~Rename or Move,~Delete,-,~Properties,-,View[Icons,List,Details]");
    constexpr auto D = EProgramKind::Desktop;
    constexpr auto H = EProgramKind::Handheld;
    using L = CListCtrlEx;

    const struct
    {
        const char* pszName;
        EProgramKind kind;
        bool fRemote;
        bool fConnected;
        std::vector<int> vSelected; // before the click
        int nWhere;                 // row, kEmptySpace or kKeyboard
        EClipboard clipboard;       // desktop: what the system clipboard holds
        ESource source;             // handheld: the list the view's clipboard names
        QString strMenu;
        int nChoose;
        int nCommand; // 0: nothing is sent
    } kCases[] = {
        {"desktop: row of a multiple selection", D, true, true, Rows({1, 2, 3}), 2, EClipboard::Empty, ESource::None,
         kAllOn, L::kMenuRenameOrMove, 32778},
        {"desktop: copy", D, true, true, {}, 0, EClipboard::Empty, ESource::None, kAllOn, L::kMenuCopy, 57634},
        {"desktop: delete", D, true, true, {}, 4, EClipboard::Empty, ESource::None, kAllOn, L::kMenuDelete, 32777},
        {"desktop: chmod", D, true, true, {}, 1, EClipboard::Empty, ESource::None, kAllOn, L::kMenuChmod, 32781},
        {"desktop: properties",
         D,
         true,
         true,
         {},
         1,
         EClipboard::Empty,
         ESource::None,
         kAllOn,
         L::kMenuProperties,
         32779},
        {"desktop: empty space", D, true, true, Rows({0, 4}), kEmptySpace, EClipboard::Empty, ESource::None,
         kNothingSelected, L::kMenuNewDirectory, 32776},
        {"desktop: files on the clipboard",
         D,
         true,
         true,
         {},
         3,
         EClipboard::Files,
         ESource::None,
         kWithPaste,
         L::kMenuPaste,
         57637},
        {"desktop: a web address is no file list",
         D,
         true,
         true,
         {},
         3,
         EClipboard::WebAddress,
         ESource::None,
         kAllOn,
         L::kMenuDetails,
         59411},
        {"desktop: icons",
         D,
         true,
         true,
         {},
         kEmptySpace,
         EClipboard::Empty,
         ESource::None,
         kNothingSelected,
         L::kMenuIcons,
         32787},
        {"desktop: keyboard", D, true, true, Rows({2}), kKeyboard, EClipboard::Empty, ESource::None, kNothingSelected,
         L::kMenuList, 59410},
        {"desktop: disconnected",
         D,
         true,
         false,
         {},
         2,
         EClipboard::Files,
         ESource::None,
         QStringLiteral("~Copy,~Paste,-,~New Directory,~Rename or Move,~Delete,-,~CHMOD...,~Properties,-,"
                        "View[~Icons,~List,~Details]"),
         0,
         0},
        {"handheld local: paste from the remote pane",
         H,
         false,
         false,
         {},
         1,
         EClipboard::Files,
         ESource::OtherList,
         kLocalWithPaste,
         L::kMenuPaste,
         57637},
        {"handheld local: own rows on the clipboard",
         H,
         false,
         false,
         {},
         1,
         EClipboard::Empty,
         ESource::ThisList,
         kLocal,
         L::kMenuRenameOrMove,
         32774},
        {"handheld local: empty space", H, false, false, Rows({1, 2}), kEmptySpace, EClipboard::Empty, ESource::None,
         kLocalNothingSelected, L::kMenuNewDirectory, 32773},
        {"handheld local: copy", H, false, false, {}, 0, EClipboard::Empty, ESource::None, kLocal, L::kMenuCopy, 57634},
        {"handheld local: delete",
         H,
         false,
         false,
         {},
         0,
         EClipboard::Empty,
         ESource::None,
         kLocal,
         L::kMenuDelete,
         32775},
        {"handheld local: properties",
         H,
         false,
         false,
         {},
         0,
         EClipboard::Empty,
         ESource::None,
         kLocal,
         L::kMenuProperties,
         32776},
        {"handheld remote: paste from the local pane",
         H,
         true,
         true,
         {},
         0,
         EClipboard::Empty,
         ESource::OtherList,
         kWithPaste,
         L::kMenuPaste,
         57637},
        {"handheld remote: chmod",
         H,
         true,
         true,
         {},
         0,
         EClipboard::Files,
         ESource::None,
         kAllOn,
         L::kMenuChmod,
         32777},
        {"handheld remote: icons",
         H,
         true,
         true,
         {},
         0,
         EClipboard::Empty,
         ESource::ThisList,
         kAllOn,
         L::kMenuIcons,
         32779},
        {"handheld remote: keyboard", H, true, true, Rows({0, 1}), kKeyboard, EClipboard::Empty, ESource::None,
         kNothingSelected, L::kMenuDetails, 59411},
        {"handheld remote: list", H, true, true, {}, 3, EClipboard::Empty, ESource::None, kAllOn, L::kMenuList, 59410},
        {"handheld remote: disconnected",
         H,
         true,
         false,
         {},
         3,
         EClipboard::Empty,
         ESource::OtherList,
         QStringLiteral("~Copy,~Paste,-,~New Directory,~Rename or Move,~Delete,-,~CHMOD...,~Properties,-,"
                        "View[~Icons,~List,~Details]"),
         0,
         0},
    };

    CListCtrlEx& desktop = Make(EProgramKind::Desktop, true);
    CListCtrlEx& remote = Make(EProgramKind::Handheld, true);
    CListCtrlEx& local = Make(EProgramKind::Handheld, false);
    Show();
    ASSERT_TRUE(desktop.IsRemote());
    ASSERT_FALSE(local.IsRemote());

    for (const auto& c : kCases)
    {
        SCOPED_TRACE(c.pszName);
        CListCtrlEx& list = c.kind == EProgramKind::Desktop ? desktop : (c.fRemote ? remote : local);
        CListCtrlEx& other = &list == &remote ? local : remote;
        list.SetConnected(c.fConnected);
        list.SetClipboardSourceQuery(
            [&, source = c.source]() -> const CListCtrlEx*
            {
                switch (source)
                {
                case ESource::ThisList:
                    return &list;
                case ESource::OtherList:
                    return &other;
                default:
                    return nullptr;
                }
            });
        QGuiApplication::clipboard()->clear();
        if (c.clipboard != EClipboard::Empty)
        {
            auto* pData = new QMimeData; // the clipboard takes it over
            pData->setUrls({c.clipboard == EClipboard::Files ? QUrl::fromLocalFile(QStringLiteral("/tmp/a.txt"))
                                                             : QUrl(QStringLiteral("https://example.org/a.txt"))});
            QGuiApplication::clipboard()->setMimeData(pData);
        }
        Select(list, c.vSelected);
        m_log.m_vIds.clear();

        const CMenuChooser chooser(c.nChoose);
        OpenMenu(list, c.nWhere);

        EXPECT_EQ(chooser.Seen(), c.strMenu);
        EXPECT_EQ(m_log.m_vIds, c.nCommand != 0 ? std::vector<int>{c.nCommand} : std::vector<int>{});
        // The menu acts on at most the row under the mouse.
        EXPECT_EQ(list.GetSelectedItems(), c.nWhere >= 0 ? std::vector<int>{c.nWhere} : std::vector<int>{});
        EXPECT_EQ(list.GetItemState(c.nWhere, CListCtrlEx::kStateFocused), 0u);
        // The menu as built, not shown, agrees with what was shown.
        EXPECT_EQ(Describe(*list.BuildContextMenu()), c.strMenu);
    }
}

TEST_F(ListCtrlExTest, CommandIdsOfBothPrograms)
{
    const struct
    {
        int nItem;
        int nDesktop;
        int nHandheld;
    } kCases[] = {
        {CListCtrlEx::kMenuCopy, 57634, 57634},
        {CListCtrlEx::kMenuPaste, 57637, 57637},
        {CListCtrlEx::kMenuNewDirectory, 32776, 32773},
        {CListCtrlEx::kMenuRenameOrMove, 32778, 32774},
        {CListCtrlEx::kMenuDelete, 32777, 32775},
        {CListCtrlEx::kMenuChmod, 32781, 32777},
        {CListCtrlEx::kMenuProperties, 32779, 32776},
        {CListCtrlEx::kMenuIcons, 32787, 32779},
        {CListCtrlEx::kMenuList, 59410, 59410},
        {CListCtrlEx::kMenuDetails, 59411, 59411},
        {0, 0, 0},
        {11, 0, 0},
    };
    for (const auto& c : kCases)
    {
        EXPECT_EQ(CListCtrlEx::CommandForMenuItem(EProgramKind::Desktop, c.nItem), c.nDesktop) << c.nItem;
        EXPECT_EQ(CListCtrlEx::CommandForMenuItem(EProgramKind::Handheld, c.nItem), c.nHandheld) << c.nItem;
    }
}

TEST_F(ListCtrlExTest, ViewModesShareRowsSelectionAndIcons)
{
    CListCtrlEx& list = Make(EProgramKind::Desktop, true);
    CImageList large(CImageList::kLarge);
    CImageList small(CImageList::kSmall);
    QPixmap red(32, 32);
    red.fill(Qt::red);
    QPixmap blue(16, 16);
    blue.fill(Qt::blue);
    ASSERT_EQ(large.Add(QIcon(red)), 0);
    ASSERT_EQ(small.Add(QIcon(blue)), 0);
    EXPECT_EQ(large.Add(QIcon()), -1);
    list.SetImageList(&large, CListCtrlEx::EImageList::Normal);
    list.SetImageList(&small, CListCtrlEx::EImageList::Small);
    const int nWithIcon = list.InsertItem(1, QStringLiteral("inserted.png"), 0);
    ASSERT_EQ(nWithIcon, 1);
    Show();

    EXPECT_EQ(list.GetViewMode(), CListCtrlEx::kViewDetails);
    ASSERT_NE(qobject_cast<QTreeView*>(list.CurrentView()), nullptr);
    Select(list, {1, 4});
    list.SetItemState(4, CListCtrlEx::kStateFocused, CListCtrlEx::kStateFocused);
    QAbstractItemView* pDetails = list.CurrentView();

    const auto icon = [](QAbstractItemView& view, int nRow)
    { return view.model()->index(nRow, 0).data(Qt::DecorationRole).value<QIcon>(); };
    EXPECT_EQ(icon(*pDetails, 1).cacheKey(), small.Icon(0).cacheKey());

    for (const int nMode : {CListCtrlEx::kViewIcons, CListCtrlEx::kViewList, CListCtrlEx::kViewSmallIcons})
    {
        SCOPED_TRACE(nMode);
        list.SetViewMode(nMode);
        EXPECT_EQ(list.GetViewMode(), nMode);
        QAbstractItemView* pView = list.CurrentView();
        ASSERT_NE(qobject_cast<QListView*>(pView), nullptr);
        EXPECT_TRUE(pView->isVisible());
        EXPECT_FALSE(pDetails->isVisible());
        EXPECT_EQ(pView->model()->rowCount(), 6);
        EXPECT_EQ(pView->model()->index(1, 0).data().toString(), QStringLiteral("inserted.png"));
        EXPECT_EQ(pView->selectionModel(), pDetails->selectionModel());
        EXPECT_EQ(list.GetSelectedItems(), Rows({1, 4}));
        EXPECT_EQ(list.GetItemState(4, CListCtrlEx::kStateFocused), CListCtrlEx::kStateFocused);
        EXPECT_EQ(icon(*pView, 1).cacheKey(), (nMode == CListCtrlEx::kViewIcons ? large : small).Icon(0).cacheKey());
        EXPECT_TRUE(icon(*pView, 0).isNull());
    }

    // A selection made in one mode is the selection of the others.
    pDetails->selectionModel()->select(pDetails->model()->index(2, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    list.SetViewMode(CListCtrlEx::kViewDetails | 4); // only the low bits count
    EXPECT_EQ(list.GetViewMode(), CListCtrlEx::kViewDetails);
    EXPECT_EQ(list.CurrentView(), pDetails);
    EXPECT_EQ(list.GetSelectedItems(), Rows({1, 2, 4}));
    EXPECT_EQ(list.GetFirstSelectedItem(), 1);
    EXPECT_EQ(list.GetItemText(2, 0), QStringLiteral("file1.txt"));
    EXPECT_EQ(list.GetItemText(2, 1), QStringLiteral("100"));
    EXPECT_EQ(list.GetItemData(2), 11u);
}

TEST_F(ListCtrlExTest, RowsColumnsAndStates)
{
    CListCtrlEx& list = Make(EProgramKind::Handheld, false);
    EXPECT_EQ(list.GetColumnCount(), 2);
    EXPECT_EQ(list.GetColumnWidth(0), 150);
    EXPECT_TRUE(list.SetColumnWidth(1, 61));
    EXPECT_EQ(list.GetColumnWidth(1), 61);
    EXPECT_FALSE(list.SetColumnWidth(2, 10));

    EXPECT_EQ(list.InsertItem(-1, QStringLiteral("refused")), -1);
    EXPECT_EQ(list.InsertItem(0, QStringLiteral("first")), 0);
    EXPECT_EQ(list.InsertItem(1000, QStringLiteral("last")), 6);
    EXPECT_EQ(list.GetItemCount(), 7);
    EXPECT_EQ(list.GetItemText(1, 0), QStringLiteral("file0.txt"));
    EXPECT_EQ(list.GetItemData(1), 10u);
    EXPECT_EQ(list.GetItemImage(0), -1);
    EXPECT_FALSE(list.SetItemText(7, 0, QStringLiteral("no such row")));
    EXPECT_FALSE(list.SetItemText(0, 2, QStringLiteral("no such column")));
    EXPECT_TRUE(list.GetItemText(7, 0).isEmpty());
    EXPECT_EQ(list.GetItemData(7), 0u);

    // Selected in any order, reported in list order.
    for (const int nRow : {5, 1, 3})
        list.SetItemState(nRow, CListCtrlEx::kStateSelected, CListCtrlEx::kStateSelected);
    list.SetItemState(3, CListCtrlEx::kStateFocused, CListCtrlEx::kStateFocused);
    EXPECT_EQ(list.GetSelectedItems(), Rows({1, 3, 5}));
    EXPECT_EQ(list.GetSelectedCount(), 3);
    EXPECT_EQ(list.GetFirstSelectedItem(), 1);
    EXPECT_EQ(list.GetItemState(3, CListCtrlEx::kStateSelected | CListCtrlEx::kStateFocused),
              CListCtrlEx::kStateSelected | CListCtrlEx::kStateFocused);
    list.SetItemState(1, 0, CListCtrlEx::kStateSelected);
    EXPECT_EQ(list.GetFirstSelectedItem(), 3);
    EXPECT_FALSE(list.SetItemState(7, CListCtrlEx::kStateSelected, CListCtrlEx::kStateSelected));

    list.SetItemState(-1, 0, CListCtrlEx::kStateSelected | CListCtrlEx::kStateFocused);
    EXPECT_EQ(list.GetFirstSelectedItem(), -1);
    EXPECT_EQ(list.GetItemState(3, CListCtrlEx::kStateFocused), 0u);
    list.SetItemState(-1, CListCtrlEx::kStateSelected, CListCtrlEx::kStateSelected);
    EXPECT_EQ(list.GetSelectedCount(), 7);

    list.DeleteAllItems();
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(list.GetSelectedCount(), 0);
    EXPECT_EQ(list.GetColumnCount(), 2);
}

TEST_F(ListCtrlExTest, FindItemIgnoresCaseAndNeverWrapsAround)
{
    CListCtrlEx list(EProgramKind::Desktop, true);
    list.InsertColumn(0, QStringLiteral("Name"));
    for (const char* pszName : {"alpha", "Beta", "beta", "betamax", "Gamma"})
        list.InsertItem(CListCtrlEx::kAppend, QString::fromLatin1(pszName));
    const struct
    {
        const char* pszText;
        int nStartAfter;
        int nFound;
    } kCases[] = {
        {"BETA", -1, 1}, {"beta", 1, 2}, {"beta", 2, -1},  {"alpha", 0, -1}, {"gamma", 3, 4},
        {"bet", -1, -1}, {"", -1, -1},   {"alpha", -5, 0}, {"gamma", 4, -1}, {"gamma", 99, -1},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(list.FindItem(QString::fromLatin1(c.pszText), c.nStartAfter), c.nFound)
            << c.pszText << " after " << c.nStartAfter;
}

TEST_F(ListCtrlExTest, EveryKeyReachesTheViewAndEnterStaysOutOfTheDialog)
{
    QDialog dialog;
    auto* pLayout = new QVBoxLayout(&dialog);
    auto* pList = new CListCtrlEx(EProgramKind::Desktop, true, &dialog);
    pLayout->addWidget(pList);
    auto* pOk = new QPushButton(QStringLiteral("OK"), &dialog);
    pOk->setDefault(true);
    QObject::connect(pOk, &QPushButton::clicked, &dialog, &QDialog::accept);
    pLayout->addWidget(pOk);
    pList->InsertColumn(0, QStringLiteral("Name"));
    for (int n = 0; n < 3; ++n)
        pList->InsertItem(CListCtrlEx::kAppend, QString::number(n));
    pList->SetItemState(0, CListCtrlEx::kStateSelected | CListCtrlEx::kStateFocused,
                        CListCtrlEx::kStateSelected | CListCtrlEx::kStateFocused);
    dialog.show();

    std::vector<int> vKeys;
    QObject::connect(pList, &CListCtrlEx::KeyDown, [&](int nKey, Qt::KeyboardModifiers) { vKeys.push_back(nKey); });
    bool fRejected = false;
    QObject::connect(&dialog, &QDialog::rejected, [&] { fRejected = true; });

    const std::vector<int> kKeys = {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Backspace,
                                    Qt::Key_F2,     Qt::Key_F5,    Qt::Key_F9,     Qt::Key_Down};
    for (const int nKey : kKeys)
        SendKey(*pList->CurrentView(), nKey);
    QGuiApplication::clipboard()->clear();
    QKeyEvent copy(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
    QCoreApplication::sendEvent(pList->CurrentView(), &copy);

    ASSERT_EQ(vKeys.size(), kKeys.size() + 1);
    EXPECT_EQ(vKeys.back(), Qt::Key_C);
    vKeys.pop_back();
    EXPECT_EQ(vKeys, kKeys);
    // Copying is the view's command; the list puts no text of its own on the clipboard.
    EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty());
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(fRejected);
    // The list still handles the keys it uses itself.
    EXPECT_EQ(pList->CurrentView()->currentIndex().row(), 1);
}

TEST_F(ListCtrlExTest, DoubleClickGivesTheRowOrNone)
{
    CListCtrlEx& list = Make(EProgramKind::Desktop, true);
    Show();
    std::vector<int> vRows;
    QObject::connect(&list, &CListCtrlEx::DoubleClicked, [&](int nRow) { vRows.push_back(nRow); });
    QAbstractItemView* pView = list.CurrentView();
    for (const QPoint& pt :
         {pView->visualRect(pView->model()->index(3, 0)).center(), QPoint(5, pView->viewport()->height() - 5)})
    {
        QMouseEvent event(QEvent::MouseButtonDblClick, pt, pView->viewport()->mapToGlobal(pt), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(pView->viewport(), &event);
    }
    EXPECT_EQ(vRows, Rows({3, -1}));
}

TEST_F(ListCtrlExTest, HundredThousandRowsKeepTheirOrderInEveryMode)
{
    CListCtrlEx& list = Make(EProgramKind::Desktop, true);
    list.InsertColumn(2, QStringLiteral("Time"));
    list.InsertColumn(3, QStringLiteral("Attributes"), Qt::AlignRight);
    list.InsertColumn(4, QStringLiteral("Owner"), Qt::AlignRight);
    list.DeleteAllItems();
    Show();
    constexpr int kRows = 100000;

    for (int n = 0; n < kRows; ++n)
    {
        const int nRow = list.InsertItem(CListCtrlEx::kAppend, QStringLiteral("name%1.dat").arg(n), -1);
        list.SetItemText(nRow, 1, QStringLiteral("12.00 Kb"));
        list.SetItemText(nRow, 2, QStringLiteral("01/02/24 10:00:00"));
        list.SetItemText(nRow, 3, QStringLiteral("-rw-r--r--"));
        list.SetItemText(nRow, 4, QStringLiteral("ann"));
        list.SetItemData(nRow, static_cast<std::uint32_t>(n));
    }
    QCoreApplication::processEvents();
    for (const int nMode : {CListCtrlEx::kViewList, CListCtrlEx::kViewIcons, CListCtrlEx::kViewDetails})
    {
        list.SetViewMode(nMode);
        QCoreApplication::processEvents();
    }
    list.SetItemState(kRows - 1, CListCtrlEx::kStateSelected, CListCtrlEx::kStateSelected);
    EXPECT_TRUE(list.EnsureVisible(kRows - 1));
    EXPECT_EQ(list.FindItem(QStringLiteral("NAME99999.DAT")), kRows - 1);
    QCoreApplication::processEvents();

    EXPECT_EQ(list.GetItemCount(), kRows);
    EXPECT_EQ(list.GetFirstSelectedItem(), kRows - 1);
    EXPECT_EQ(list.GetItemData(54321), 54321u);
    // Rows past 65535 are appended too, in order.
    EXPECT_EQ(list.GetItemText(kRows - 1, 0), QStringLiteral("name99999.dat"));
    EXPECT_EQ(list.GetItemData(70000), 70000u);
}

} // namespace
