#include "ListCtrlEx.h"

#include "ListItemModel.h"
#include "platform/CommandIds.h"
#include "platform/ImageList.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QStackedLayout>
#include <QTreeView>
#include <QUrl>

#include <algorithm>

namespace
{

// The views of the modes, with the list's own handling of menus, keys, double clicks and drags.
template <class TView> class CListCtrlView final : public TView
{
public:
    explicit CListCtrlView(CListCtrlEx& owner) : TView(&owner), m_owner(owner) {}

protected:
    void contextMenuEvent(QContextMenuEvent* pEvent) override
    {
        pEvent->accept();
        m_owner.ShowContextMenu(pEvent->globalPos(), pEvent->reason() == QContextMenuEvent::Keyboard);
    }

    void keyPressEvent(QKeyEvent* pEvent) override
    {
        emit m_owner.KeyDown(pEvent->key(), pEvent->modifiers());
        // The item view would put the current row's text on the clipboard; copying is the view's command.
        if (pEvent->matches(QKeySequence::Copy))
        {
            pEvent->accept();
            return;
        }
        switch (pEvent->key())
        {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            // The item view would pass these on to the dialog or form around the list.
            pEvent->accept();
            return;
        default:
            TView::keyPressEvent(pEvent);
        }
    }

    void mouseDoubleClickEvent(QMouseEvent* pEvent) override
    {
        TView::mouseDoubleClickEvent(pEvent);
        const QModelIndex index = TView::indexAt(pEvent->position().toPoint());
        emit m_owner.DoubleClicked(index.isValid() ? index.row() : -1);
    }

    void startDrag(Qt::DropActions /*actions*/) override { emit m_owner.BeginDrag(); }

private:
    CListCtrlEx& m_owner;
};

template <class TView> void SetUpView(TView& view, CListItemModel& model, QItemSelectionModel& selection)
{
    view.setModel(&model);
    view.setSelectionModel(&selection);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
}

// A dropped-files list: file URLs and nothing else.
bool ClipboardHoldsFiles()
{
    const QClipboard* pClipboard = QGuiApplication::clipboard();
    const QMimeData* pData = pClipboard != nullptr ? pClipboard->mimeData() : nullptr;
    if (pData == nullptr || !pData->hasUrls()) return false;
    const QList<QUrl> urls = pData->urls();
    return !urls.isEmpty() && std::all_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

} // namespace

CListCtrlEx::CListCtrlEx(EProgramKind kind, bool fRemote, QWidget* pParent)
    : QWidget(pParent), m_kind(kind), m_fRemote(kind == EProgramKind::Desktop || fRemote)
{
    m_pModel = new CListItemModel(this);
    m_pModel->SetDragEnabled(kind == EProgramKind::Desktop);
    m_pSelection = new QItemSelectionModel(m_pModel, this);

    auto* pDetails = new CListCtrlView<QTreeView>(*this);
    SetUpView(*pDetails, *m_pModel, *m_pSelection);
    pDetails->setRootIsDecorated(false);
    pDetails->setItemsExpandable(false);
    pDetails->setUniformRowHeights(true); // long listings stay fast
    pDetails->setAllColumnsShowFocus(true);
    pDetails->setIconSize(QSize(CImageList::kSmall, CImageList::kSmall));
    pDetails->header()->setStretchLastSection(false);
    pDetails->header()->setSectionsMovable(false);
    m_pDetails = pDetails;

    auto* pIcons = new CListCtrlView<QListView>(*this);
    SetUpView(*pIcons, *m_pModel, *m_pSelection);
    pIcons->setMovement(QListView::Static);
    pIcons->setResizeMode(QListView::Adjust);
    pIcons->setWrapping(true);
    // Laid out in batches, so that a long listing shows its first rows at once.
    pIcons->setLayoutMode(QListView::Batched);
    pIcons->setBatchSize(1000);
    m_pIcons = pIcons;

    for (QAbstractItemView* pView :
         {static_cast<QAbstractItemView*>(m_pDetails), static_cast<QAbstractItemView*>(m_pIcons)})
        pView->setDragEnabled(kind == EProgramKind::Desktop);

    m_pStack = new QStackedLayout(this);
    m_pStack->setContentsMargins(0, 0, 0, 0);
    m_pStack->addWidget(m_pDetails);
    m_pStack->addWidget(m_pIcons);
    ApplyViewMode();
}

CListCtrlEx::~CListCtrlEx() = default;

// ---- Columns

int CListCtrlEx::InsertColumn(int nCol, const QString& strHeading, Qt::Alignment align, int nWidth)
{
    const int nIndex = m_pModel->InsertColumn(nCol, strHeading, align);
    if (nWidth >= 0) m_pDetails->header()->resizeSection(nIndex, nWidth);
    return nIndex;
}

int CListCtrlEx::GetColumnCount() const
{
    return m_pModel->GetColumnCount();
}

int CListCtrlEx::GetColumnWidth(int nCol) const
{
    if (nCol < 0 || nCol >= GetColumnCount()) return 0;
    return m_pDetails->header()->sectionSize(nCol);
}

bool CListCtrlEx::SetColumnWidth(int nCol, int nWidth)
{
    if (nCol < 0 || nCol >= GetColumnCount() || nWidth < 0) return false;
    m_pDetails->header()->resizeSection(nCol, nWidth);
    return true;
}

// ---- Rows

int CListCtrlEx::InsertItem(int nRow, const QString& strText, int nImage)
{
    // Always the end, even past 65535 rows: listings are longer than that nowadays.
    if (nRow == kAppend) nRow = GetItemCount();
    return m_pModel->InsertRow(nRow, strText, nImage);
}

bool CListCtrlEx::SetItemText(int nRow, int nCol, const QString& strText)
{
    return m_pModel->SetText(nRow, nCol, strText);
}

QString CListCtrlEx::GetItemText(int nRow, int nCol) const
{
    return m_pModel->Text(nRow, nCol);
}

bool CListCtrlEx::SetItemData(int nRow, std::uint32_t nData)
{
    return m_pModel->SetItemData(nRow, nData);
}

std::uint32_t CListCtrlEx::GetItemData(int nRow) const
{
    return m_pModel->ItemData(nRow);
}

int CListCtrlEx::GetItemImage(int nRow) const
{
    return m_pModel->Image(nRow);
}

void CListCtrlEx::DeleteAllItems()
{
    m_pModel->RemoveAll();
}

int CListCtrlEx::GetItemCount() const
{
    return m_pModel->rowCount();
}

int CListCtrlEx::FindItem(const QString& strText, int nStartAfter) const
{
    return m_pModel->Find(strText, nStartAfter);
}

bool CListCtrlEx::IsRow(int nRow) const
{
    return nRow >= 0 && nRow < GetItemCount();
}

// ---- States

bool CListCtrlEx::SetItemState(int nRow, unsigned nState, unsigned nMask)
{
    if (nRow != -1 && !IsRow(nRow)) return false;
    if (nMask & kStateSelected)
    {
        const bool fSelect = (nState & kStateSelected) != 0;
        if (nRow == -1)
        {
            if (!fSelect)
                m_pSelection->clearSelection();
            else if (GetItemCount() > 0)
                m_pSelection->select(QItemSelection(m_pModel->index(0, 0), m_pModel->index(GetItemCount() - 1, 0)),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        else
        {
            m_pSelection->select(m_pModel->index(nRow, 0),
                                 (fSelect ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                                     QItemSelectionModel::Rows);
        }
    }
    if (nMask & kStateFocused)
    {
        const bool fFocus = (nState & kStateFocused) != 0;
        const int nCurrent = m_pSelection->currentIndex().isValid() ? m_pSelection->currentIndex().row() : -1;
        // One row at most has the focus, so "every row focused" means nothing; clearing means clearing it.
        if (fFocus && nRow != -1)
            m_pSelection->setCurrentIndex(m_pModel->index(nRow, 0), QItemSelectionModel::NoUpdate);
        else if (!fFocus && (nRow == -1 || nRow == nCurrent))
            m_pSelection->clearCurrentIndex();
    }
    return true;
}

unsigned CListCtrlEx::GetItemState(int nRow, unsigned nMask) const
{
    if (!IsRow(nRow)) return 0;
    unsigned nState = 0;
    if (m_pSelection->isSelected(m_pModel->index(nRow, 0))) nState |= kStateSelected;
    const QModelIndex current = m_pSelection->currentIndex();
    if (current.isValid() && current.row() == nRow) nState |= kStateFocused;
    return nState & nMask;
}

int CListCtrlEx::GetSelectedCount() const
{
    return static_cast<int>(GetSelectedItems().size());
}

int CListCtrlEx::GetFirstSelectedItem() const
{
    int nFirst = -1;
    for (const QItemSelectionRange& range : m_pSelection->selection())
    {
        if (nFirst == -1 || range.top() < nFirst) nFirst = range.top();
    }
    return nFirst;
}

std::vector<int> CListCtrlEx::GetSelectedItems() const
{
    std::vector<int> vRows;
    for (const QItemSelectionRange& range : m_pSelection->selection())
    {
        for (int nRow = range.top(); nRow <= range.bottom(); ++nRow)
            vRows.push_back(nRow);
    }
    // Ranges come in the order the user made them and may overlap.
    std::sort(vRows.begin(), vRows.end());
    vRows.erase(std::unique(vRows.begin(), vRows.end()), vRows.end());
    return vRows;
}

bool CListCtrlEx::EnsureVisible(int nRow)
{
    if (!IsRow(nRow)) return false;
    CurrentView()->scrollTo(m_pModel->index(nRow, 0));
    return true;
}

int CListCtrlEx::HitTest(const QPoint& pt) const
{
    const QAbstractItemView* pView = CurrentView();
    const QModelIndex index = pView->indexAt(pView->viewport()->mapFrom(this, pt));
    return index.isValid() ? index.row() : -1;
}

// ---- View

void CListCtrlEx::SetViewMode(int nMode)
{
    nMode &= 3;
    if (nMode == m_nViewMode) return;
    m_nViewMode = nMode;
    ApplyViewMode();
}

void CListCtrlEx::ApplyViewMode()
{
    QAbstractItemView* pOld = qobject_cast<QAbstractItemView*>(m_pStack->currentWidget());
    const bool fHadFocus = pOld != nullptr && pOld->hasFocus();

    m_pModel->UseLargeIcons(m_nViewMode == kViewIcons);
    switch (m_nViewMode)
    {
    case kViewIcons:
        m_pIcons->setViewMode(QListView::IconMode);
        m_pIcons->setMovement(QListView::Static);
        m_pIcons->setIconSize(QSize(CImageList::kLarge, CImageList::kLarge));
        m_pIcons->setGridSize(QSize(96, 72));
        m_pIcons->setWordWrap(true);
        m_pIcons->setFlow(QListView::LeftToRight);
        break;
    case kViewSmallIcons:
    case kViewList:
        m_pIcons->setViewMode(QListView::ListMode);
        m_pIcons->setIconSize(QSize(CImageList::kSmall, CImageList::kSmall));
        m_pIcons->setGridSize(QSize());
        m_pIcons->setWordWrap(false);
        // Small icons run in rows, the list in columns.
        m_pIcons->setFlow(m_nViewMode == kViewList ? QListView::TopToBottom : QListView::LeftToRight);
        break;
    default:
        break;
    }
    m_pIcons->setWrapping(true);

    QAbstractItemView* pNew = m_nViewMode == kViewDetails ? static_cast<QAbstractItemView*>(m_pDetails) : m_pIcons;
    m_pStack->setCurrentWidget(pNew);
    setFocusProxy(pNew);
    if (fHadFocus) pNew->setFocus();
    if (m_pSelection->currentIndex().isValid()) pNew->scrollTo(m_pSelection->currentIndex());
}

void CListCtrlEx::SetImageList(CImageList* pList, EImageList which)
{
    m_pModel->SetImageList(pList, which == EImageList::Normal);
}

CImageList* CListCtrlEx::GetImageList(EImageList which) const
{
    return m_pModel->ImageList(which == EImageList::Normal);
}

QAbstractItemView* CListCtrlEx::CurrentView() const
{
    return m_nViewMode == kViewDetails ? static_cast<QAbstractItemView*>(m_pDetails) : m_pIcons;
}

// ---- Context menu

void CListCtrlEx::ShowContextMenu(const QPoint& ptGlobal, bool fKeyboard)
{
    if (QWidget* pParent = parentWidget()) pParent->setFocus(Qt::OtherFocusReason);
    setFocus(Qt::OtherFocusReason);

    // The menu acts on at most the row under the mouse; from the keyboard, on none.
    m_pSelection->clear();
    if (!fKeyboard)
    {
        const int nRow = HitTest(mapFromGlobal(ptGlobal));
        if (nRow >= 0)
            m_pSelection->select(m_pModel->index(nRow, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    std::unique_ptr<QMenu> pMenu = BuildContextMenu();
    const QAction* pChosen = pMenu->exec(ptGlobal);
    const int nItem = pChosen != nullptr ? pChosen->data().toInt() : 0;
    // Gone before the command runs, which may open dialogs of its own.
    pMenu.reset();
    const int nCommand = CommandForMenuItem(m_kind, nItem);
    if (nCommand != 0 && m_pTarget != nullptr) m_pTarget->OnCommand(nCommand);
}

bool CListCtrlEx::PasteOffered() const
{
    if (m_kind == EProgramKind::Desktop) return ClipboardHoldsFiles();
    const CListCtrlEx* pSource = m_clipboardSourceQuery ? m_clipboardSourceQuery() : nullptr;
    return pSource != nullptr && pSource != this;
}

std::unique_ptr<QMenu> CListCtrlEx::BuildContextMenu() const
{
    const int nSelected = GetSelectedCount();
    bool fNoneSelected = nSelected == 0;
    bool fNotExactlyOne = nSelected != 1;
    bool fGeneral = false;
    // Nothing can be done in a server's list without a server.
    if (m_fRemote && !m_fConnected) fNoneSelected = fNotExactlyOne = fGeneral = true;

    auto pMenu = std::make_unique<QMenu>();
    const auto add = [](QMenu& menu, int nItem, const char* pszText, bool fGrey)
    {
        QAction* pAction = menu.addAction(QString::fromLatin1(pszText));
        pAction->setData(nItem);
        pAction->setEnabled(!fGrey);
    };
    add(*pMenu, kMenuCopy, "Copy", fNoneSelected);
    if (PasteOffered()) add(*pMenu, kMenuPaste, "Paste", fGeneral);
    pMenu->addSeparator();
    add(*pMenu, kMenuNewDirectory, "New Directory", fGeneral);
    add(*pMenu, kMenuRenameOrMove, "Rename or Move", fNotExactlyOne);
    add(*pMenu, kMenuDelete, "Delete", fNoneSelected);
    pMenu->addSeparator();
    if (m_fRemote) add(*pMenu, kMenuChmod, "CHMOD...", fNoneSelected);
    add(*pMenu, kMenuProperties, "Properties", fNotExactlyOne);
    pMenu->addSeparator();
    QMenu* pView = pMenu->addMenu(QStringLiteral("View"));
    add(*pView, kMenuIcons, "Icons", fGeneral);
    add(*pView, kMenuList, "List", fGeneral);
    add(*pView, kMenuDetails, "Details", fGeneral);
    return pMenu;
}

int CListCtrlEx::CommandForMenuItem(EProgramKind kind, int nItem)
{
    namespace D = nsIds::Desktop;
    namespace H = nsIds::Handheld;
    const bool fDesktop = kind == EProgramKind::Desktop;
    switch (nItem)
    {
    case kMenuCopy:
        return nsIds::kEditCopy;
    case kMenuPaste:
        return nsIds::kEditPaste;
    case kMenuNewDirectory:
        return fDesktop ? D::kNewDirectory : H::kNewDirectory;
    case kMenuRenameOrMove:
        return fDesktop ? D::kRename : H::kRenameOrMove;
    case kMenuDelete:
        return fDesktop ? D::kDelete : H::kDelete;
    case kMenuChmod:
        return fDesktop ? D::kChmod : H::kChmod;
    case kMenuProperties:
        return fDesktop ? D::kProperties : H::kProperties;
    case kMenuIcons:
        return fDesktop ? D::kViewIcons : H::kViewIcons;
    case kMenuList:
        return nsIds::kViewList;
    case kMenuDetails:
        return nsIds::kViewDetails;
    default:
        return 0;
    }
}
