#pragma once
// The file list of both programs: the desktop's remote list, and the handheld's remote and local panes. Rows,
// columns, icons and selection behave like a list view's; the view modes (icons, details, small icons, list)
// are views of one model with one selection, so switching modes keeps both.
//
// The right-click menu (also the menu key) acts on at most the row under the mouse and sends the program's
// ordinary command ids to the command target, exactly as the matching menu items would. Every key pressed in the
// list is reported by KeyDown before the list handles it; Enter and Escape stay with the list, so a dialog or
// form around it never takes them as its default or cancel button.
//
// Keyboard focus: the list forwards focus to the view of the current mode, so hasFocus() and setFocus() on the
// list mean that view.

#include "platform/CommandTarget.h"
#include "platform/ProgramKind.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class CImageList;
class CListItemModel;
class CMyDataSource;
class CMyDropTarget;
class QAbstractItemView;
class QItemSelectionModel;
class QListView;
class QMenu;
class QStackedLayout;
class QTreeView;

class CListCtrlEx : public QWidget
{
    Q_OBJECT

public:
    // View modes, numbered as the layout stores them.
    static constexpr int kViewIcons = 0;
    static constexpr int kViewDetails = 1;
    static constexpr int kViewSmallIcons = 2;
    static constexpr int kViewList = 3;

    // Row states for SetItemState and GetItemState.
    static constexpr unsigned kStateFocused = 0x1;
    static constexpr unsigned kStateSelected = 0x2;

    // InsertItem's position for "after the last row", however many rows there are (any position beyond the end
    // appends as well).
    static constexpr int kAppend = 65535;

    // The context menu's own item ids, as its actions carry them in data().
    enum EMenuItem
    {
        kMenuCopy = 1,
        kMenuPaste = 2,
        kMenuNewDirectory = 3,
        kMenuRenameOrMove = 4,
        kMenuDelete = 5,
        kMenuChmod = 6,
        kMenuProperties = 7,
        kMenuIcons = 8,
        kMenuList = 9,
        kMenuDetails = 10,
    };

    enum class EImageList
    {
        Normal, // 32 x 32, the icon view
        Small,  // 16 x 16, every other view
    };

    // The handheld's view names the list whose rows its clipboard holds (null for none).
    using ClipboardSourceQuery = std::function<const CListCtrlEx*()>;

    // kind chooses the command ids the menu sends. The desktop list is always remote; fRemote is for the handheld.
    explicit CListCtrlEx(EProgramKind kind, bool fRemote = true, QWidget* pParent = nullptr);
    ~CListCtrlEx() override;

    EProgramKind GetProgramKind() const { return m_kind; }
    // A remote list offers "CHMOD..." and greys its whole menu while disconnected.
    bool IsRemote() const { return m_fRemote; }
    bool IsConnected() const { return m_fConnected; }
    void SetConnected(bool fConnected) { m_fConnected = fConnected; }
    // Desktop: how many columns' widths the layout stores (0 until the view has inserted its columns).
    int GetLayoutColumnCount() const { return m_nColumnCount; }
    void SetLayoutColumnCount(int nCount) { m_nColumnCount = nCount; }
    // Desktop: the view's drag-and-drop partners, owned by the view.
    void SetDropTarget(CMyDropTarget* pDropTarget) { m_pDropTarget = pDropTarget; }
    CMyDropTarget* GetDropTarget() const { return m_pDropTarget; }
    void SetDataSource(CMyDataSource* pDataSource) { m_pDataSource = pDataSource; }
    CMyDataSource* GetDataSource() const { return m_pDataSource; }

    // ---- Columns
    // nWidth < 0 keeps the default width. Returns the column's index.
    int InsertColumn(int nCol, const QString& strHeading, Qt::Alignment align = Qt::AlignLeft, int nWidth = -1);
    int GetColumnCount() const;
    int GetColumnWidth(int nCol) const;
    bool SetColumnWidth(int nCol, int nWidth);

    // ---- Rows. Row numbers count from 0; functions given a row that does not exist fail or give empty values.
    // The new row's number, or -1 for a negative position. nImage indexes both image lists (-1: no icon).
    int InsertItem(int nRow, const QString& strText, int nImage = -1);
    // Column 0 is the item text.
    bool SetItemText(int nRow, int nCol, const QString& strText);
    QString GetItemText(int nRow, int nCol) const;
    bool SetItemData(int nRow, std::uint32_t nData);
    std::uint32_t GetItemData(int nRow) const;
    int GetItemImage(int nRow) const;
    void DeleteAllItems();
    int GetItemCount() const;
    // The first row after nStartAfter (-1: from the top) whose text equals strText without regard to case;
    // never wraps around. -1 when there is none.
    int FindItem(const QString& strText, int nStartAfter = -1) const;

    // ---- States. nRow -1 means every row. Sets the states in nMask to those in nState.
    bool SetItemState(int nRow, unsigned nState, unsigned nMask);
    unsigned GetItemState(int nRow, unsigned nMask) const;
    int GetSelectedCount() const;
    // -1 when no row is selected.
    int GetFirstSelectedItem() const;
    // Every selected row, in list order.
    std::vector<int> GetSelectedItems() const;
    bool EnsureVisible(int nRow);
    // The row at a point in this widget's coordinates, or -1.
    int HitTest(const QPoint& pt) const;

    // ---- View
    int GetViewMode() const { return m_nViewMode; }
    // Takes nMode & 3.
    void SetViewMode(int nMode);
    // Not owned; a list deleted later simply stops giving icons.
    void SetImageList(CImageList* pList, EImageList which);
    CImageList* GetImageList(EImageList which) const;
    // The view of the current mode (for the drop target, and tests).
    QAbstractItemView* CurrentView() const;

    // ---- Context menu
    // Not owned; null sends the choices nowhere.
    void SetCommandTarget(ICommandTarget* pTarget) { m_pTarget = pTarget; }
    void SetClipboardSourceQuery(ClipboardSourceQuery query) { m_clipboardSourceQuery = std::move(query); }
    // The whole right-click sequence: focus, selection of the row under the mouse (none for the keyboard), the
    // menu at ptGlobal, and the chosen command to the target.
    void ShowContextMenu(const QPoint& ptGlobal, bool fKeyboard);
    // The menu for the current selection, not shown.
    std::unique_ptr<QMenu> BuildContextMenu() const;
    // The command id that a menu item sends in a program; 0 for an unknown item.
    static int CommandForMenuItem(EProgramKind kind, int nItem);

signals:
    // Every key pressed in the list, before the list itself handles it.
    void KeyDown(int nKey, Qt::KeyboardModifiers modifiers);
    // A double click; nRow is -1 on empty space.
    void DoubleClicked(int nRow);
    // The user starts dragging the selected rows out (desktop).
    void BeginDrag();

private:
    bool IsRow(int nRow) const;
    bool PasteOffered() const;
    void ApplyViewMode();

    EProgramKind m_kind;
    bool m_fRemote;
    bool m_fConnected = false;
    int m_nColumnCount = 0;
    CMyDropTarget* m_pDropTarget = nullptr;
    CMyDataSource* m_pDataSource = nullptr;
    int m_nViewMode = kViewDetails;
    ICommandTarget* m_pTarget = nullptr;
    ClipboardSourceQuery m_clipboardSourceQuery;

    // Children of this widget.
    CListItemModel* m_pModel = nullptr;
    QItemSelectionModel* m_pSelection = nullptr;
    QStackedLayout* m_pStack = nullptr;
    QTreeView* m_pDetails = nullptr;
    QListView* m_pIcons = nullptr; // icons, small icons and list
};
