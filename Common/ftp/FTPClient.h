#pragma once
// The FTP engine: one object per server connection. Every operation is synchronous and blocks the calling
// thread until the server has answered or the operation has failed; failures are shown to the user through the
// report interface (Report.h) by the engine itself, so callers add no messages of their own.
//
// Command operations return 0 when the server accepted (class 2), 1 when it refused (class 4 or 5) and -1 in
// every other case. One thread at a time uses a client; there are no locks.

#include "BlockingSocket.h"
#include "FTPFileStatus.h"
#include "LogonParameters.h"
#include "RCIPtr.h"
#include "Reply.h"
#include "Representation.h"
#include "TransferNotification.h"

#include <atomic>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace nsFTP
{

// The data commands, numbered as the engine stores them.
enum EDataCommand : int
{
    DC_LIST = 0,
    DC_NLST = 1,
    DC_RETR = 2,
    DC_STOR = 3,
    DC_STOU = 4,
    DC_APPE = 5,
};

using TFileStatusSequence = std::vector<nsSP::RCIPtr<CFTPFileStatus>>;

class CFTPClient
{
public:
    // Reply texts beyond this size are refused: a server that never ends its reply must not eat our memory.
    static constexpr size_t kMaxReplySize = 1024 * 1024;
    // A listing that never ends must not take all memory either.
    static constexpr std::int64_t kMaxListingSize = std::int64_t{256} * 1024 * 1024;

    explicit CFTPClient(std::unique_ptr<nsSocket::IBlockingSocket> pSocket, int nTimeoutSec = 10,
                        unsigned nBufferSize = 2048, int nReceiveDelayMs = 0);
    virtual ~CFTPClient();
    CFTPClient(const CFTPClient&) = delete;
    CFTPClient& operator=(const CFTPClient&) = delete;

    bool IsConnected() const;
    bool LogOn(const CLogonParameters& logon, int nTimeoutSec);
    int LogOff();
    // PWD without any message or status text; the cached directory is not touched.
    int SendKeepAlive();

    int CurrentDirectory(std::wstring& strDirectory);
    int ChangeDirectory(const std::wstring& strPath);
    int NewDirectory(const std::wstring& strPath, bool fShowErrors);
    int DeleteDirectory(const std::wstring& strPath);
    int DeleteRemoteFile(const std::wstring& strPath);
    int RenameRemote(const std::wstring& strOldPath, const std::wstring& strNewPath);
    int SendSiteCommand(const std::wstring& strArgument);

    // ---- data transfers ----
    // Lists the folder (LIST) into the sequence; on failure the sequence is left as it was.
    bool ListDirectory(const std::wstring& strPath, TFileStatusSequence& vEntries, bool fPassive);
    // Starts RETR (or STOR when fUpload) in Image type; the caller owns the data socket until CloseTransfer.
    std::unique_ptr<nsSocket::IBlockingSocket> OpenTransfer(const std::wstring& strPath, bool fPassive, bool fUpload);
    // One receive of at most nSize bytes; nReceived is 0 at the end of the file. False after a transport failure.
    bool ReadTransfer(nsSocket::IBlockingSocket& data, char* pBuffer, int nSize, int& nReceived);
    // Sends all nSize bytes. False after a transport failure.
    bool WriteTransfer(nsSocket::IBlockingSocket& data, const char* pBuffer, int nSize, int& nSent);
    // Ends an OpenTransfer, also after a failed read or write; true when the final reply is of class 2.
    bool CloseTransfer(std::unique_ptr<nsSocket::IBlockingSocket> pData);
    // During a closed-loop transfer: asks it to stop. Otherwise: sends ABOR.
    int AbortTransfer();
    // The closed loop: opens the data connection, moves everything between it and the notification, closes
    // it and checks the final reply.
    bool RunDataCommand(ITransferNotification& notification, int nCommand, const std::wstring& strPath,
                        const CRepresentation& representation, bool fPassive);
    bool IsTransferRunning() const { return m_fTransferRunning; }

    int GetTimeout() const { return m_nTimeout; }
    void SetMaxListingSize(std::int64_t nBytes) { m_nMaxListingSize = nBytes; }
    const CLogonParameters& GetLogonParameters() const { return m_logon; }
    void SetRestartAllowed(bool fAllowed) { m_fRestartAllowed = fAllowed; }
    bool IsRestartAllowed() const { return m_fRestartAllowed; }

protected:
    bool OpenControl(const std::wstring& strHost, unsigned short nPort);
    void CloseControl();
    bool SendCommandLine(const std::wstring& strCommand, bool fReport);
    bool ReadReplyLine(std::wstring& strLine, bool fReport);
    bool ReadReply(CReply& reply, bool fReport);
    int ClassifyReply(const CReply& reply, bool fReport);

    int SetRepresentation(const CRepresentation& representation);
    // The address (host order) and port of a PASV reply.
    int RequestPassive(std::uint32_t& nAddress, unsigned short& nPort);
    int SendPortCommand(const std::wstring& strAddress, unsigned short nPort);
    bool OpenActiveData(int nCommand, const std::wstring& strPath, nsSocket::IBlockingSocket& data);
    bool OpenPassiveData(int nCommand, const std::wstring& strPath, nsSocket::IBlockingSocket& data);
    // The line of a data command; empty for an unknown number.
    static std::wstring DataCommandLine(int nCommand, const std::wstring& strPath);
    // Parses the address and port out of a PASV reply text; false when the text has no usable group.
    static bool ParsePassiveReply(const std::wstring& strText, std::uint32_t& nAddress, unsigned short& nPort);

    // Sends a command and reads its reply, both with reporting; on failure shows what reply text came.
    bool SendAndRead(const std::wstring& strCommand, CReply& reply);
    // The common pattern of the single-reply commands: send, read, classify with reporting.
    int SimpleCommand(const std::wstring& strCommand);

private:
    // Makes the server's representation the wanted one, sending TYPE only when it changes.
    bool EnsureRepresentation(const CRepresentation& representation);
    // Sends the data command and expects a preliminary (class 1) reply.
    bool StartDataCommand(int nCommand, const std::wstring& strPath);
    // Moves the data of a data command between the connection and the notification, until the end, an abort
    // request or a failure.
    bool TransferLoop(nsSocket::IBlockingSocket& data, ITransferNotification& notification, int nCommand);
    // The reply that ends a data command; true for class 2, otherwise shows what came.
    bool ReadFinalReply();
    // A transport failure while data moves: tells the user and drops the data connection.
    bool FailDataTransfer(nsSocket::IBlockingSocket& data, const std::wstring& strText);
    // Fails the read: tells the user (when reporting) and drops the connection.
    bool FailControl(const std::wstring& strText, bool fReport);

    std::wstring m_strCurrentDir;
    int m_nTimeout;
    int m_nReceiveDelay;
    std::wstring m_strEol = L"\r\n";
    std::vector<char> m_vBuffer;
    std::deque<std::string> m_qLines;
    std::unique_ptr<CRepresentation> m_pRepresentation;
    std::unique_ptr<nsSocket::IBlockingSocket> m_pSocket;
    // Read on the user-interface thread while a worker transfers: atomic so the sanitizer has nothing to say.
    std::atomic<bool> m_fTransferRunning{false};
    std::atomic<bool> m_fAbortRequested{false};
    bool m_fRestartAllowed = true;
    CLogonParameters m_logon;

    std::int64_t m_nMaxListingSize = kMaxListingSize;
    // Received text after the last line feed: a line that has not fully arrived yet.
    std::string m_strPending;
};

} // namespace nsFTP
