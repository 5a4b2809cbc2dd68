#pragma once
// The FTP engine: one object per server connection. Every operation is synchronous and blocks the calling
// thread until the server has answered or the operation has failed; failures are shown to the user through the
// report interface (Report.h) by the engine itself, so callers add no messages of their own.
//
// Command operations return 0 when the server accepted (class 2), 1 when it refused (class 4 or 5) and -1 in
// every other case. One thread at a time uses a client; there are no locks.

#include "BlockingSocket.h"
#include "LogonParameters.h"
#include "Reply.h"
#include "Representation.h"

#include <atomic>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace nsFTP
{

class CFTPClient
{
public:
    // Reply texts beyond this size are refused: a server that never ends its reply must not eat our memory.
    static constexpr size_t kMaxReplySize = 1024 * 1024;

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

    int GetTimeout() const { return m_nTimeout; }
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

    // Sends a command and reads its reply, both with reporting; on failure shows what reply text came.
    bool SendAndRead(const std::wstring& strCommand, CReply& reply);
    // The common pattern of the single-reply commands: send, read, classify with reporting.
    int SimpleCommand(const std::wstring& strCommand);

private:
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

    // Received text after the last line feed: a line that has not fully arrived yet.
    std::string m_strPending;
};

} // namespace nsFTP
