// CServerConnection: putting the current listing on screen — folder combo, rows with icons and columns, the
// desktop filter bar and the status counts.

#include "ServerConnection.h"

#include "ListCtrlEx.h"
#include "ftp/TextHelpers.h"
#include "platform/ImageList.h"
#include "platform/Shell.h"
#include "platform/StatusPanes.h"
#include "platform/TimeText.h"
#include "platform/WaitCursor.h"

#include <QComboBox>
#include <QLineEdit>

namespace
{

QString Q(const std::wstring& str)
{
    return QString::fromStdWString(str);
}

// The combo's own prefix search: the first item that begins with the text, letter case aside.
int FindPrefix(const QComboBox& combo, const QString& strPrefix, int nFrom = 0)
{
    const int nCount = combo.count();
    for (int i = 0; i < nCount; ++i)
    {
        const int nItem = (nFrom + i) % nCount;
        if (combo.itemText(nItem).startsWith(strPrefix, Qt::CaseInsensitive)) return nItem;
    }
    return -1;
}

// The four text columns after the name, and the row's link to its record.
void SetColumns(CListCtrlEx& list, int nRow, const CListingRecord& record, std::uint32_t nPosition)
{
    list.SetItemText(nRow, 1, Q(FormatLocalTimeText(record.m_ftModified)));
    list.SetItemText(nRow, 2, Q(FormatSizeText(record.m_nSize)));
    list.SetItemText(nRow, 3, Q(record.m_strAttributes));
    list.SetItemText(nRow, 4, Q(record.m_strOwner));
    list.SetItemData(nRow, nPosition);
}

} // namespace

void CServerConnection::FillFolderCombo(QComboBox& combo)
{
    combo.clear();
    const QString strFolder = Q(GetCurrentFolder());
    QStringList vItems;
    for (qsizetype p = strFolder.indexOf(u'/'); p >= 0; p = strFolder.indexOf(u'/', p + 1))
        vItems.append(p == 0 ? QStringLiteral("/") : strFolder.left(p));
    if (strFolder != QStringLiteral("/")) vItems.append(strFolder);
    combo.addItems(vItems);
    const QString strHome = Q(m_strHomeFolder);
    if (FindPrefix(combo, strHome) < 0) combo.insertItem(0, strHome);
    // Searching from item 1 and wrapping round, as the combo's own prefix selection does.
    combo.setCurrentIndex(combo.count() == 0 ? -1 : FindPrefix(combo, strFolder, 1));
}

bool CServerConnection::PassesFilter(const std::wstring& strRawName, bool fDirectory)
{
    const QString strName = Q(strRawName).trimmed().toLower();
    const QString strExtension = nsShell::PathFindExtension(strName);
    if (m_pTypeFilter)
    {
        if (m_pTypeFilter->currentIndex() == 0)
        {
            if (!strExtension.isEmpty() && FindPrefix(*m_pTypeFilter, strExtension) < 0)
                m_pTypeFilter->addItem(strExtension);
        }
        else if (!fDirectory && strExtension != m_pTypeFilter->currentText())
        {
            return false;
        }
    }
    if (m_pKindFilter)
    {
        const int nKind = m_pKindFilter->currentIndex();
        if ((nKind == 1 && fDirectory) || (nKind == 2 && !fDirectory)) return false;
    }
    if (m_pFilterText && !strName.contains(m_pFilterText->text().toLower())) return false;
    return true;
}

void CServerConnection::FillRow(CImageList& large, const CListingRecord& record, CListCtrlEx& list, CImageList& small,
                                std::uint32_t nPosition)
{
    const QString strName = Q(record.m_strDisplayName);
    const bool fFolder = record.m_nDirectory != 0;
    const int nImage = large.Add(nsShell::IconForName(strName, fFolder, nsShell::EIconSize::Large));
    small.Add(nsShell::IconForName(strName, fFolder, nsShell::EIconSize::Small));
    // Appended at the true end: a fixed position such as 65535 would put the rows of longer listings in the middle
    // and in reverse order.
    const int nRow = list.InsertItem(list.GetItemCount(), Q(record.m_strRawName), nImage);
    SetColumns(list, nRow, record, nPosition);
}

void CServerConnection::FillFoundRow(const std::wstring& strParent, const CListingRecord& record, CListCtrlEx& list,
                                     CImageList& small, std::uint32_t nPosition)
{
    const int nImage = small.Add(
        nsShell::IconForName(Q(record.m_strDisplayName), record.m_nDirectory != 0, nsShell::EIconSize::Small));
    const int nRow = list.InsertItem(list.GetItemCount(), Q(JoinRemotePath(strParent, record.m_strRawName)), nImage);
    SetColumns(list, nRow, record, nPosition);
}

void CServerConnection::ShowListing(QComboBox& combo, CListCtrlEx& list, CImageList& large, CImageList& small)
{
    combo.clear();
    list.DeleteAllItems();
    // Fresh image lists on every display, so icons never pile up.
    large.RemoveAll();
    small.RemoveAll();
    list.SetImageList(&large, CListCtrlEx::EImageList::Normal);
    list.SetImageList(&small, CListCtrlEx::EImageList::Small);
    FillFolderCombo(combo);
    if (m_pTypeFilter && m_pTypeFilter->currentIndex() == 0)
        while (m_pTypeFilter->count() > 1)
            m_pTypeFilter->removeItem(m_pTypeFilter->count() - 1);

    // 64-bit counts: folders of 2 GiB and more are ordinary.
    std::int64_t nDirectories = 0, nFiles = 0, nBytes = 0;
    for (std::size_t i = 0; i < m_vListing.size(); ++i)
    {
        const CListingRecord& record = m_vListing[i];
        if (!PassesFilter(record.m_strRawName, record.m_nDirectory != 0)) continue;
        if (!record.m_nLink) ++(record.m_nDirectory ? nDirectories : nFiles);
        nBytes += record.m_nSize;
        FillRow(large, record, list, small, static_cast<std::uint32_t>(i));
    }
    nsUi::SetStatusPaneText(1, QStringLiteral("Directories: %1").arg(nDirectories));
    nsUi::SetStatusPaneText(2, QStringLiteral("Files: %1").arg(nFiles));
    nsUi::SetStatusPaneText(3, QStringLiteral("%1 bytes").arg(nBytes));
}

void CServerConnection::Refresh(QComboBox& combo, CListCtrlEx& list, CImageList& large, CImageList& small)
{
    if (!IsConnected()) return;
    CWaitCursor wait;
    ReadListing();
    ShowListing(combo, list, large, small);
}

void CServerConnection::GoToSelectedFolder(QComboBox& combo, CListCtrlEx& list, CImageList& large, CImageList& small)
{
    if (combo.currentIndex() < 0) return;
    if (ChangeFolder(combo.currentText().toStdWString())) Refresh(combo, list, large, small);
}

bool CServerConnection::GetTargetFolder(const CListCtrlEx& list, std::wstring& strFolder)
{
    if (!IsConnected()) return false;
    const int nRow = list.GetFirstSelectedItem();
    if (nRow >= 0)
    {
        const std::uint32_t nPosition = list.GetItemData(nRow);
        if (nPosition < m_vListing.size() && m_vListing[nPosition].m_nDirectory)
        {
            const CListingRecord& record = m_vListing[nPosition];
            strFolder = JoinRemotePath(record.m_strFolderPath, record.m_strDisplayName);
            return true;
        }
    }
    strFolder = GetCurrentFolder();
    return true;
}
