#include "ServerConnection.h"

#include "ftp/TextHelpers.h"
#include "platform/StatusPanes.h"
#include "platform/WaitCursor.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace
{

void ClearCountPanes()
{
    for (int nPane = 1; nPane <= 3; ++nPane)
        nsUi::SetStatusPaneText(nPane, QString());
}

std::wstring Trim(const std::wstring& str)
{
    size_t nStart = 0;
    while (nStart < str.size() && std::iswspace(str[nStart]))
        ++nStart;
    size_t nEnd = str.size();
    while (nEnd > nStart && std::iswspace(str[nEnd - 1]))
        --nEnd;
    return str.substr(nStart, nEnd - nStart);
}

} // namespace

CServerConnection::CServerConnection() : m_ftp(std::make_unique<nsSocket::CBlockingSocket>())
{
    // Nothing connected yet: the copy of the site is all zeros, not the defaults of a new site.
    m_site.Bytes().fill(0);
}

CServerConnection::~CServerConnection()
{
    Disconnect();
}

bool CServerConnection::Connect(const CSiteRecord& site)
{
    CWaitCursor wait;
    ClearCountPanes();
    m_logon.m_strHost = site.GetHost();
    m_logon.m_nPort = static_cast<std::uint16_t>(site.GetPort() & 0xFFFF);
    m_logon.m_strAccount.clear();
    if (site.GetAnonymous())
    {
        m_logon.m_strUser = L"anonymous";
        m_logon.m_strPassword = kAnonymousPassword;
    }
    else
    {
        m_logon.m_strUser = site.GetLogin();
        m_logon.m_strPassword = site.GetPassword();
    }
    // Stored as unsigned; anything beyond what a wait can count in milliseconds waits that long at most.
    const int nTimeout = static_cast<int>(std::min<std::uint32_t>(site.GetTimeout(), 2'000'000));
    if (!m_ftp.LogOn(m_logon, nTimeout)) return false;
    m_site = site;
    m_strHomeFolder = GetCurrentFolder();
    m_ftp.SetRestartAllowed(false);
    return true;
}

void CServerConnection::Disconnect()
{
    if (IsConnected()) m_ftp.LogOff();
    ClearCountPanes();
}

bool CServerConnection::IsConnected() const
{
    return m_ftp.IsConnected();
}

std::wstring CServerConnection::GetCurrentFolder()
{
    std::wstring strFolder;
    if (m_ftp.CurrentDirectory(strFolder) != 0) return {};
    return strFolder;
}

bool CServerConnection::ChangeFolder(const std::wstring& strPath)
{
    return m_ftp.ChangeDirectory(strPath) == 0;
}

void CServerConnection::OpenStartFolder(const std::wstring& strStart)
{
    if (!IsConnected()) return;
    std::wstring strPath = Trim(strStart);
    if (strPath.empty()) return;
    std::replace(strPath.begin(), strPath.end(), L'\\', L'/');
    // The home folder's own path leads into it; only a whole path component counts, so that "/home/annex" is
    // not taken for "ex" below "/home/ann".
    const std::wstring& strHome = m_strHomeFolder;
    if (!strHome.empty() && strPath.size() >= strHome.size() &&
        wcsncasecmp(strPath.c_str(), strHome.c_str(), strHome.size()) == 0 &&
        (strPath.size() == strHome.size() || strHome.back() == L'/' || strPath[strHome.size()] == L'/'))
        strPath.erase(0, strHome.size());
    if (!strPath.empty() && strPath[0] == L'/') strPath.erase(0, 1);
    strPath = Trim(strPath);
    if (strPath.empty()) return;
    if (!ChangeFolder(JoinRemotePath(strHome, strPath))) ChangeFolder(strHome);
}

CListingRecord CServerConnection::MakeRecord(const nsSP::RCIPtr<nsFTP::CFTPFileStatus>& pStatus)
{
    const nsFTP::CFTPFileStatus& status = *pStatus;
    CListingRecord record;
    record.m_nLink = !status.m_strAttributes.empty() && status.m_strAttributes[0] == L'l' ? 1 : 0;
    record.m_strDisplayName = status.m_strName;
    if (record.m_nLink)
    {
        const size_t nArrow = status.m_strName.find(L" -> ");
        if (nArrow != std::wstring::npos) record.m_strDisplayName.resize(nArrow);
    }
    record.m_nDirectory = status.m_fIsDirectory ? 1 : 0;
    record.m_nSize = status.m_nSize;
    // The listing's time is an instant (seconds since 1970 UTC); keep it as one. Display converts it to local
    // time, once.
    record.m_ftModified = FileTimeFromUnixSeconds(status.m_tModified);
    record.m_strFolderPath = status.m_strPath;
    record.m_strRawName = status.m_strName;
    record.m_strAttributes = status.m_strAttributes;
    record.m_strOwner = status.m_strOwner;
    return record;
}

bool CServerConnection::ReadListing()
{
    CWaitCursor wait;
    m_vListing.clear();
    nsFTP::TFileStatusSequence vEntries;
    if (!m_ftp.ListDirectory(GetCurrentFolder(), vEntries, m_site.GetPassive())) return false;
    m_vListing.reserve(vEntries.size());
    for (const auto& pStatus : vEntries)
    {
        if (pStatus->m_strName == L"." || pStatus->m_strName == L"..") continue;
        m_vListing.push_back(MakeRecord(pStatus));
    }
    std::sort(m_vListing.begin(), m_vListing.end(),
              [](const CListingRecord& a, const CListingRecord& b)
              {
                  if (a.m_nDirectory != b.m_nDirectory) return a.m_nDirectory > b.m_nDirectory;
                  return wcscasecmp(a.m_strDisplayName.c_str(), b.m_strDisplayName.c_str()) < 0;
              });
    return !m_vListing.empty();
}

bool CServerConnection::ListFolder(const std::wstring& strPath, nsFTP::TFileStatusSequence& vEntries)
{
    return m_ftp.ListDirectory(strPath, vEntries, m_site.GetPassive());
}

std::unique_ptr<nsSocket::IBlockingSocket> CServerConnection::OpenTransfer(const std::wstring& strPath, bool fStore)
{
    return m_ftp.OpenTransfer(strPath, m_site.GetPassive(), fStore);
}

bool CServerConnection::MakeFolder(const std::wstring& strPath, bool fShowErrors)
{
    return m_ftp.NewDirectory(strPath, fShowErrors) == 0;
}

void CServerConnection::RemoveFolder(const std::wstring& strPath)
{
    m_ftp.DeleteDirectory(strPath);
}

void CServerConnection::DeleteRemoteFile(const std::wstring& strPath)
{
    m_ftp.DeleteRemoteFile(strPath);
}

void CServerConnection::KeepAlive()
{
    // Held for the whole probe: a worker that takes the connection meanwhile waits until the reply is in.
    std::lock_guard lock(m_mutexHold);
    if (m_nHolds > 0 || !IsConnected() || !m_site.GetKeepAlive()) return;
    m_ftp.SendKeepAlive();
}

CServerConnection::CWorkerHold::CWorkerHold(CServerConnection& connection) : m_connection(connection)
{
    std::lock_guard lock(m_connection.m_mutexHold);
    ++m_connection.m_nHolds;
}

CServerConnection::CWorkerHold::~CWorkerHold()
{
    std::lock_guard lock(m_connection.m_mutexHold);
    --m_connection.m_nHolds;
}

bool CServerConnection::IsHeldByWorker() const
{
    std::lock_guard lock(m_mutexHold);
    return m_nHolds > 0;
}
