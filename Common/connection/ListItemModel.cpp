#include "ListItemModel.h"

#include "platform/ImageList.h"

#include <algorithm>

CListItemModel::CListItemModel(QObject* pParent) : QAbstractTableModel(pParent) {}

int CListItemModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_vRows.size());
}

int CListItemModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : std::max(1, GetColumnCount());
}

QVariant CListItemModel::data(const QModelIndex& index, int nRole) const
{
    if (!index.isValid() || !IsRow(index.row())) return {};
    const CRow& row = m_vRows[static_cast<size_t>(index.row())];
    const int nCol = index.column();
    switch (nRole)
    {
    case Qt::DisplayRole:
        return Text(index.row(), nCol);
    case Qt::DecorationRole:
    {
        if (nCol != 0) return {};
        const CImageList* pList = m_fLargeIcons ? m_pLarge.data() : m_pSmall.data();
        if (pList == nullptr) return {};
        const QIcon icon = pList->Icon(row.nImage);
        return icon.isNull() ? QVariant() : QVariant(icon);
    }
    case Qt::TextAlignmentRole:
        // Left is the views' own default; returning it would also undo the icon view's centred captions.
        if (nCol < GetColumnCount() && m_vColumns[static_cast<size_t>(nCol)].align != Qt::AlignLeft)
            return QVariant(m_vColumns[static_cast<size_t>(nCol)].align | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant CListItemModel::headerData(int nSection, Qt::Orientation orientation, int nRole) const
{
    if (orientation != Qt::Horizontal || nSection < 0 || nSection >= GetColumnCount()) return {};
    const CColumn& column = m_vColumns[static_cast<size_t>(nSection)];
    if (nRole == Qt::DisplayRole) return column.strHeading;
    if (nRole == Qt::TextAlignmentRole) return QVariant(column.align | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags CListItemModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (m_fDragEnabled) flags |= Qt::ItemIsDragEnabled;
    return flags;
}

int CListItemModel::InsertColumn(int nCol, const QString& strHeading, Qt::Alignment align)
{
    nCol = std::clamp(nCol, 0, GetColumnCount());
    // The first column replaces the placeholder that columnCount() reports while there is none.
    const bool fFirst = m_vColumns.empty();
    if (!fFirst) beginInsertColumns(QModelIndex(), nCol, nCol);
    m_vColumns.insert(m_vColumns.begin() + nCol, CColumn{strHeading, align});
    // Column 0 always shows the item text; the texts of later columns move with their columns.
    for (CRow& row : m_vRows)
    {
        if (nCol > 0 && static_cast<int>(row.vTexts.size()) > nCol)
            row.vTexts.insert(row.vTexts.begin() + nCol, QString());
    }
    if (fFirst)
        emit headerDataChanged(Qt::Horizontal, 0, 0);
    else
        endInsertColumns();
    return nCol;
}

int CListItemModel::InsertRow(int nRow, const QString& strText, int nImage)
{
    if (nRow < 0) return -1;
    nRow = std::min(nRow, rowCount());
    beginInsertRows(QModelIndex(), nRow, nRow);
    CRow row;
    row.vTexts.push_back(strText);
    row.nImage = nImage;
    m_vRows.insert(m_vRows.begin() + nRow, std::move(row));
    endInsertRows();
    return nRow;
}

void CListItemModel::RemoveAll()
{
    beginResetModel();
    m_vRows.clear();
    endResetModel();
}

bool CListItemModel::SetText(int nRow, int nCol, const QString& strText)
{
    if (!IsRow(nRow) || nCol < 0 || nCol >= columnCount()) return false;
    std::vector<QString>& vTexts = m_vRows[static_cast<size_t>(nRow)].vTexts;
    if (static_cast<int>(vTexts.size()) <= nCol) vTexts.resize(static_cast<size_t>(nCol) + 1);
    vTexts[static_cast<size_t>(nCol)] = strText;
    const QModelIndex cell = index(nRow, nCol);
    emit dataChanged(cell, cell, {Qt::DisplayRole});
    return true;
}

QString CListItemModel::Text(int nRow, int nCol) const
{
    if (!IsRow(nRow) || nCol < 0) return {};
    const std::vector<QString>& vTexts = m_vRows[static_cast<size_t>(nRow)].vTexts;
    return nCol < static_cast<int>(vTexts.size()) ? vTexts[static_cast<size_t>(nCol)] : QString();
}

bool CListItemModel::SetItemData(int nRow, std::uint32_t nData)
{
    if (!IsRow(nRow)) return false;
    m_vRows[static_cast<size_t>(nRow)].nData = nData;
    return true;
}

std::uint32_t CListItemModel::ItemData(int nRow) const
{
    return IsRow(nRow) ? m_vRows[static_cast<size_t>(nRow)].nData : 0;
}

int CListItemModel::Image(int nRow) const
{
    return IsRow(nRow) ? m_vRows[static_cast<size_t>(nRow)].nImage : -1;
}

int CListItemModel::Find(const QString& strText, int nStartAfter) const
{
    for (int nRow = std::max(0, nStartAfter + 1); nRow < rowCount(); ++nRow)
    {
        if (m_vRows[static_cast<size_t>(nRow)].vTexts.front().compare(strText, Qt::CaseInsensitive) == 0) return nRow;
    }
    return -1;
}

void CListItemModel::SetImageList(CImageList* pList, bool fLarge)
{
    (fLarge ? m_pLarge : m_pSmall) = pList;
    IconsChanged();
}

CImageList* CListItemModel::ImageList(bool fLarge) const
{
    return fLarge ? m_pLarge.data() : m_pSmall.data();
}

void CListItemModel::UseLargeIcons(bool fLarge)
{
    if (m_fLargeIcons == fLarge) return;
    m_fLargeIcons = fLarge;
    IconsChanged();
}

void CListItemModel::IconsChanged()
{
    if (!m_vRows.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
}
