#pragma once
// The rows of a CListCtrlEx: item text, column texts, image index and 32-bit item data per row, and the column
// headings. All view modes of the control show this one model, so rows and selection are the same in each.

#include <QAbstractTableModel>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <vector>

class CImageList;

class CListItemModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit CListItemModel(QObject* pParent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    // At least 1, so that the icon and list views have a column to show before any column is inserted.
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int nRole) const override;
    QVariant headerData(int nSection, Qt::Orientation orientation, int nRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // nCol beyond the end appends. Column 0 always shows the item text; the texts of later columns move with
    // their columns. Returns the new column's index.
    int InsertColumn(int nCol, const QString& strHeading, Qt::Alignment align);
    int GetColumnCount() const { return static_cast<int>(m_vColumns.size()); }

    // nRow beyond the end appends; negative fails with -1. Returns the new row's index.
    int InsertRow(int nRow, const QString& strText, int nImage);
    void RemoveAll();

    // Column 0 is the item text. False for a row or column that does not exist.
    bool SetText(int nRow, int nCol, const QString& strText);
    QString Text(int nRow, int nCol) const;
    bool SetItemData(int nRow, std::uint32_t nData);
    std::uint32_t ItemData(int nRow) const;
    int Image(int nRow) const;

    // The first row after nStartAfter whose item text equals strText without regard to case; -1 when none.
    int Find(const QString& strText, int nStartAfter) const;

    // Not owned. The large list serves the icon view, the small one all others.
    void SetImageList(CImageList* pList, bool fLarge);
    CImageList* ImageList(bool fLarge) const;
    void UseLargeIcons(bool fLarge);
    void SetDragEnabled(bool fEnabled) { m_fDragEnabled = fEnabled; }

private:
    struct CRow
    {
        std::vector<QString> vTexts; // [0] item text, [n] column n; shorter when the later texts are empty
        int nImage = -1;
        std::uint32_t nData = 0;
    };
    struct CColumn
    {
        QString strHeading;
        Qt::Alignment align;
    };

    bool IsRow(int nRow) const { return nRow >= 0 && nRow < static_cast<int>(m_vRows.size()); }
    void IconsChanged();

    std::vector<CRow> m_vRows;
    std::vector<CColumn> m_vColumns;
    QPointer<CImageList> m_pLarge;
    QPointer<CImageList> m_pSmall;
    bool m_fLargeIcons = false;
    bool m_fDragEnabled = false;
};
