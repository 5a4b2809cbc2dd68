#pragma once
// The program's side of one FTP server: logging in with a stored site, the current remote listing, moving
// between folders, and the small operations that jobs, the find dialog and the views call. Every operation runs
// on the calling thread and blocks until the engine has answered; the engine itself tells the user about
// failures, so callers only look at the results.
//
// One thread at a time uses the connection. Jobs and the search use it from their worker threads while a modal
// dialog keeps the user's commands away; they hold the connection (CWorkerHold) for that time, so that the
// views' keep-alive timer never slips a command in between.

#include "ListingRecord.h"
#include "ftp/FTPClient.h"
#include "sites/SiteRecord.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CImageList;
class CListCtrlEx;
class QComboBox;
class QLineEdit;

class CServerConnection
{
public:
    // The password of anonymous logons: e-mail style, as servers ask for it.
    static constexpr const wchar_t* kAnonymousPassword = L"anonymous@user.net";

    CServerConnection();
    ~CServerConnection();
    CServerConnection(const CServerConnection&) = delete;
    CServerConnection& operator=(const CServerConnection&) = delete;

    bool Connect(const CSiteRecord& site);
    void Disconnect();
    bool IsConnected() const;
    // The server's working folder, or empty when it is not known (no connection, PWD refused).
    std::wstring GetCurrentFolder();
    bool ChangeFolder(const std::wstring& strPath);
    // Opens the site's start folder, always taken relative to the home folder.
    void OpenStartFolder(const std::wstring& strPath);
    // Reads the current folder into the listing; true when at least one record was stored.
    bool ReadListing();
    static CListingRecord MakeRecord(const nsSP::RCIPtr<nsFTP::CFTPFileStatus>& pStatus);

    bool ListFolder(const std::wstring& strPath, nsFTP::TFileStatusSequence& vEntries);
    std::unique_ptr<nsSocket::IBlockingSocket> OpenTransfer(const std::wstring& strPath, bool fStore);
    bool MakeFolder(const std::wstring& strPath, bool fShowErrors);
    void RemoveFolder(const std::wstring& strPath);
    void DeleteRemoteFile(const std::wstring& strPath);
    // The keep-alive probe: PWD when the site asks for it, nothing while a worker holds the connection.
    void KeepAlive();

    // ---- showing the listing ----
    // Fills the folder combo and the list (one row per shown record, icons in freshly emptied image lists) and,
    // on the desktop, the status counts. Needs no connection: the kept listing can be shown again.
    void ShowListing(QComboBox& combo, CListCtrlEx& list, CImageList& large, CImageList& small);
    // When connected: reads the listing from the server, then shows it.
    void Refresh(QComboBox& combo, CListCtrlEx& list, CImageList& large, CImageList& small);
    // The folders from the root down to the current one, the current one selected, the home folder on top
    // when it is not on that path.
    void FillFolderCombo(QComboBox& combo);
    // The desktop filter bar's verdict on one record; with "Show All Types" selected it also collects the
    // record's extension into the type combo.
    bool PassesFilter(const std::wstring& strRawName, bool fDirectory);
    void FillRow(CImageList& large, const CListingRecord& record, CListCtrlEx& list, CImageList& small,
                 std::uint32_t nPosition);
    // A search result: the row's text is the parent path joined with the raw name; small icon only.
    void FillFoundRow(const std::wstring& strParent, const CListingRecord& record, CListCtrlEx& list, CImageList& small,
                      std::uint32_t nPosition);
    // Changes to the folder chosen in the combo and refreshes.
    void GoToSelectedFolder(QComboBox& combo, CListCtrlEx& list, CImageList& large, CImageList& small);
    // The folder a drop or paste goes to: the first selected row when it is a folder, else the current folder.
    // False when not connected.
    bool GetTargetFolder(const CListCtrlEx& list, std::wstring& strFolder);

    // While one lives, a worker owns the connection and the keep-alive stays quiet. Made before the worker
    // starts (or by the worker itself); waits for a probe that is under way to finish.
    class CWorkerHold
    {
    public:
        explicit CWorkerHold(CServerConnection& connection);
        ~CWorkerHold();
        CWorkerHold(const CWorkerHold&) = delete;
        CWorkerHold& operator=(const CWorkerHold&) = delete;

    private:
        CServerConnection& m_connection;
    };
    bool IsHeldByWorker() const;

    const std::vector<CListingRecord>& GetListing() const { return m_vListing; }
    // Puts a listing read elsewhere in place of the current one (already sorted, without "." and "..").
    void SetListing(std::vector<CListingRecord> vListing) { m_vListing = std::move(vListing); }
    const CSiteRecord& GetSite() const { return m_site; }
    const std::wstring& GetHomeFolder() const { return m_strHomeFolder; }
    const nsFTP::CLogonParameters& GetLogonParameters() const { return m_logon; }
    nsFTP::CFTPClient& GetEngine() { return m_ftp; }

    // The desktop filter bar's controls (not owned); absent controls skip their test.
    void SetFilterControls(QLineEdit* pText, QComboBox* pKind, QComboBox* pType)
    {
        m_pFilterText = pText;
        m_pKindFilter = pKind;
        m_pTypeFilter = pType;
    }

private:
    std::vector<CListingRecord> m_vListing;
    CSiteRecord m_site;
    nsFTP::CFTPClient m_ftp;
    nsFTP::CLogonParameters m_logon;
    QLineEdit* m_pFilterText = nullptr;
    QComboBox* m_pKindFilter = nullptr;
    QComboBox* m_pTypeFilter = nullptr;
    std::wstring m_strHomeFolder;

    // Guards the hold count and serialises the keep-alive probe against a worker taking the connection.
    mutable std::mutex m_mutexHold;
    int m_nHolds = 0;
};
