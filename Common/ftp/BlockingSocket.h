#pragma once
// Blocking TCP sockets for the FTP engine. Every wait is bounded by a time-out in whole seconds, every failure
// throws CBlockingSocketException, and every accept, send and receive first tells the program that the
// connection is alive (the activity hook), so that the keep-alive timer restarts.

#include <netinet/in.h>

#include <memory>
#include <string>

namespace nsSocket
{

// A socket handle as the engine sees it: 0 means "no socket". Live handles are never 0.
using SOCKET = int;

class CBlockingSocketException
{
public:
    // Reads errno at construction: build the exception right after the failing call.
    explicit CBlockingSocketException(std::wstring strMessage);
    // For failures whose code does not live in errno (the resolver's codes).
    CBlockingSocketException(std::wstring strMessage, int nError);
    virtual ~CBlockingSocketException() = default;
    CBlockingSocketException(const CBlockingSocketException&) = default;
    CBlockingSocketException& operator=(const CBlockingSocketException&) = default;

    // "message\n\nError code: n"
    virtual std::wstring GetErrorText() const;
    virtual bool GetErrorText(std::wstring& strText) const;

    int GetErrorCode() const { return m_nError; }
    const std::wstring& GetMessage() const { return m_strMessage; }

private:
    int m_nError;
    std::wstring m_strMessage;
};

// The failure text of a host name that cannot be resolved; it names the host between single quotes.
std::wstring HostNotFoundMessage(const std::wstring& strHost);

class IBlockingSocket
{
public:
    virtual ~IBlockingSocket() = default;
    // A new, unconnected socket of the same kind, owned by the caller.
    virtual std::unique_ptr<IBlockingSocket> NewInstance() const = 0;
    virtual void Create(int nType = SOCK_STREAM) = 0;
    // Waits at most nTimeoutSec for the connection to be established.
    virtual void Connect(const sockaddr_in& addr, int nTimeoutSec) = 0;
    virtual void Bind(const sockaddr_in& addr) = 0;
    virtual void Listen() = 0;
    virtual void CloseQuietly() = 0;
    // False when the wait was interrupted. A negative time-out waits without limit.
    virtual bool Accept(IBlockingSocket& target, sockaddr_in& addr, int nTimeoutSec) = 0;
    virtual void Close() = 0;
    virtual int Write(const char* pData, int nCount, int nTimeoutSec) = 0;
    virtual int Receive(char* pBuffer, int nSize, int nTimeoutSec) = 0;
    virtual void GetLocalAddress(sockaddr_in& addr) const = 0;
    virtual SOCKET GetHandle() const = 0;
    virtual bool HasPendingData() const = 0;
    virtual sockaddr_in ResolveHost(const std::string& strHost, unsigned short nPort) const = 0;
    virtual std::string ResolveAddress(const sockaddr_in& addr) const = 0;
    // The address the connection goes to: passive data connections are opened to the control connection's peer.
    virtual void GetPeerAddress(sockaddr_in& addr) const = 0;

protected:
    // Lets one implementation store an accepted handle in another object of its kind.
    virtual void Attach(SOCKET hSocket) = 0;
    friend class CBlockingSocket;
};

class CBlockingSocket : public IBlockingSocket
{
public:
    CBlockingSocket() = default;
    // Owners close sockets explicitly; destruction never closes the handle (so a copy of the handle kept
    // elsewhere cannot be closed behind its owner's back). The engine always closes before destroying.
    ~CBlockingSocket() override = default;
    CBlockingSocket(const CBlockingSocket&) = delete;
    CBlockingSocket& operator=(const CBlockingSocket&) = delete;

    std::unique_ptr<IBlockingSocket> NewInstance() const override;
    void Create(int nType = SOCK_STREAM) override;
    void Connect(const sockaddr_in& addr, int nTimeoutSec) override;
    void Bind(const sockaddr_in& addr) override;
    void Listen() override;
    void CloseQuietly() override;
    bool Accept(IBlockingSocket& target, sockaddr_in& addr, int nTimeoutSec) override;
    void Close() override;
    int Write(const char* pData, int nCount, int nTimeoutSec) override;
    int Receive(char* pBuffer, int nSize, int nTimeoutSec) override;
    void GetLocalAddress(sockaddr_in& addr) const override;
    SOCKET GetHandle() const override { return m_hSocket; }
    bool HasPendingData() const override;
    sockaddr_in ResolveHost(const std::string& strHost, unsigned short nPort) const override;
    std::string ResolveAddress(const sockaddr_in& addr) const override;
    void GetPeerAddress(sockaddr_in& addr) const override;

protected:
    void Attach(SOCKET hSocket) override { m_hSocket = hSocket; }

private:
    int SendOnce(const char* pData, int nCount, int nTimeoutSec);

    SOCKET m_hSocket = 0;
};

// The process-wide activity hook: called before every accept, send and receive. The program's hook decides on
// which thread the notification is handled; the engine only calls it.
class IActivityHook
{
public:
    virtual ~IActivityHook() = default;
    virtual void OnSocketActivity() = 0;
};

// Installs the hook (not owned; null removes it).
void SetActivityHook(IActivityHook* pHook);
void NotifyActivity();

} // namespace nsSocket
