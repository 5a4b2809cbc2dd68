#include "BlockingSocket.h"

#include "Text.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>

namespace nsSocket
{

namespace
{

std::atomic<IActivityHook*> g_pActivityHook{nullptr};

// Descriptor 0 is a valid descriptor on POSIX but means "no socket" to the engine: move such a handle up.
SOCKET NonZeroHandle(int fd)
{
    if (fd != 0) return fd;
    const int moved = fcntl(fd, F_DUPFD_CLOEXEC, 1);
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return moved;
}

// Waits for the events on the socket; returns poll's result, retrying when a signal interrupts the wait and
// counting the time already spent against the limit.
int WaitFor(SOCKET hSocket, short nEvents, int nTimeoutSec)
{
    using Clock = std::chrono::steady_clock;
    const bool fForever = nTimeoutSec < 0;
    const auto deadline = Clock::now() + std::chrono::seconds(fForever ? 0 : nTimeoutSec);
    for (;;)
    {
        int nWaitMs = -1;
        if (!fForever)
        {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            nWaitMs = left.count() <= 0 ? 0 : static_cast<int>(std::min<long long>(left.count(), 2'000'000'000));
        }
        pollfd pfd{hSocket, nEvents, 0};
        const int n = ::poll(&pfd, 1, nWaitMs);
        if (n >= 0 || errno != EINTR) return n;
    }
}

} // namespace

// ---- exception ----

CBlockingSocketException::CBlockingSocketException(std::wstring strMessage)
    : m_nError(errno), m_strMessage(std::move(strMessage))
{
}

CBlockingSocketException::CBlockingSocketException(std::wstring strMessage, int nError)
    : m_nError(nError), m_strMessage(std::move(strMessage))
{
}

std::wstring CBlockingSocketException::GetErrorText() const
{
    std::wstring strText;
    GetErrorText(strText);
    return strText;
}

bool CBlockingSocketException::GetErrorText(std::wstring& strText) const
{
    strText = m_strMessage + L"\n\nError code: " + std::to_wstring(m_nError);
    return true;
}

std::wstring HostNotFoundMessage(const std::wstring& strHost)
{
    return L"The host '" + strHost +
           L"' could not be found. Please make sure you are connected to the Internet and verify that you have "
           L"entered the server name correctly.";
}

// ---- activity hook ----

void SetActivityHook(IActivityHook* pHook)
{
    g_pActivityHook.store(pHook);
}

void NotifyActivity()
{
    if (IActivityHook* p = g_pActivityHook.load()) p->OnSocketActivity();
}

// ---- socket ----

std::unique_ptr<IBlockingSocket> CBlockingSocket::NewInstance() const
{
    return std::make_unique<CBlockingSocket>();
}

void CBlockingSocket::Create(int nType)
{
    const int fd = ::socket(AF_INET, nType | SOCK_CLOEXEC, 0);
    if (fd < 0) throw CBlockingSocketException(L"Cannot not create socket.");
    const SOCKET h = NonZeroHandle(fd);
    if (h < 0) throw CBlockingSocketException(L"Cannot not create socket.");
    m_hSocket = h;
}

void CBlockingSocket::Connect(const sockaddr_in& addr, int nTimeoutSec)
{
    // A blocking connect waits as long as the system allows (minutes on Linux); connect without blocking
    // and wait for the result ourselves so the caller's limit holds.
    const int nFlags = fcntl(m_hSocket, F_GETFL);
    if (nFlags < 0 || fcntl(m_hSocket, F_SETFL, nFlags | O_NONBLOCK) < 0)
        throw CBlockingSocketException(L"Cannot establish a connection to the server.");
    int rc = ::connect(m_hSocket, reinterpret_cast<const sockaddr*>(&addr), sizeof(addr));
    if (rc < 0 && (errno == EINPROGRESS || errno == EINTR))
    {
        const int n = WaitFor(m_hSocket, POLLOUT, nTimeoutSec);
        if (n == 0)
        {
            errno = ETIMEDOUT;
            rc = -1;
        }
        else if (n > 0)
        {
            int nError = 0;
            socklen_t nLen = sizeof(nError);
            if (getsockopt(m_hSocket, SOL_SOCKET, SO_ERROR, &nError, &nLen) < 0) nError = errno;
            errno = nError;
            rc = nError == 0 ? 0 : -1;
        }
    }
    if (rc < 0)
    {
        CBlockingSocketException e(L"Cannot establish a connection to the server.");
        fcntl(m_hSocket, F_SETFL, nFlags);
        throw e;
    }
    if (fcntl(m_hSocket, F_SETFL, nFlags) < 0)
        throw CBlockingSocketException(L"Cannot establish a connection to the server.");
}

void CBlockingSocket::Bind(const sockaddr_in& addr)
{
    if (::bind(m_hSocket, reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)) < 0)
        throw CBlockingSocketException(L"Error binding acceptor socket.");
}

void CBlockingSocket::Listen()
{
    if (::listen(m_hSocket, 5) < 0) throw CBlockingSocketException(L"Error creating listening socket.");
}

void CBlockingSocket::CloseQuietly()
{
    if (m_hSocket != 0)
    {
        ::close(m_hSocket);
        m_hSocket = 0;
    }
}

bool CBlockingSocket::Accept(IBlockingSocket& target, sockaddr_in& addr, int nTimeoutSec)
{
    NotifyActivity();
    const int n = WaitFor(m_hSocket, POLLIN, nTimeoutSec);
    if (n == 0)
    {
        errno = ETIMEDOUT;
        throw CBlockingSocketException(L"The server did not open the data connection in time (accept timeout).");
    }
    socklen_t nLen = sizeof(addr);
    int fd = n < 0 ? -1 : ::accept4(m_hSocket, reinterpret_cast<sockaddr*>(&addr), &nLen, SOCK_CLOEXEC);
    if (fd >= 0) fd = NonZeroHandle(fd);
    if (fd < 0)
    {
        if (errno == EINTR) return false;
        throw CBlockingSocketException(L"Error creating acceptor socket.");
    }
    target.Attach(fd);
    return target.GetHandle() > 0;
}

void CBlockingSocket::Close()
{
    if (m_hSocket == 0) return;
    if (::close(m_hSocket) < 0 && errno != EINTR) throw CBlockingSocketException(L"Unable to close socket.");
    // After EINTR the descriptor is released all the same on Linux: never close it twice.
    m_hSocket = 0;
}

int CBlockingSocket::SendOnce(const char* pData, int nCount, int nTimeoutSec)
{
    NotifyActivity();
    const int n = WaitFor(m_hSocket, POLLOUT, nTimeoutSec);
    if (n == 0)
    {
        errno = ETIMEDOUT;
        throw CBlockingSocketException(L"Unable to send data (send timeout).");
    }
    // Without waiting: the send takes what the system has room for, and the rest goes in the next round
    // after another bounded wait, so a peer that stops reading cannot block us beyond the time-out.
    const ssize_t nSent = ::send(m_hSocket, pData, static_cast<size_t>(nCount), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (nSent < 0)
    {
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return 0;
        throw CBlockingSocketException(L"Unable to send data.");
    }
    return static_cast<int>(nSent);
}

int CBlockingSocket::Write(const char* pData, int nCount, int nTimeoutSec)
{
    int nTotal = 0;
    do
    {
        nTotal += SendOnce(pData + nTotal, nCount - nTotal, nTimeoutSec);
    } while (nTotal < nCount);
    return nTotal;
}

int CBlockingSocket::Receive(char* pBuffer, int nSize, int nTimeoutSec)
{
    NotifyActivity();
    const int n = WaitFor(m_hSocket, POLLIN, nTimeoutSec);
    if (n == 0)
    {
        errno = ETIMEDOUT;
        throw CBlockingSocketException(L"Unable to receive data (receive timeout).");
    }
    for (;;)
    {
        const ssize_t nRead = ::recv(m_hSocket, pBuffer, static_cast<size_t>(nSize), MSG_DONTWAIT);
        if (nRead >= 0) return static_cast<int>(nRead);
        if (errno != EINTR) throw CBlockingSocketException(L"Unable to receive data.");
    }
}

void CBlockingSocket::GetLocalAddress(sockaddr_in& addr) const
{
    socklen_t nLen = sizeof(addr);
    if (::getsockname(m_hSocket, reinterpret_cast<sockaddr*>(&addr), &nLen) < 0)
        throw CBlockingSocketException(L"getsockname() failed.");
}

void CBlockingSocket::GetPeerAddress(sockaddr_in& addr) const
{
    socklen_t nLen = sizeof(addr);
    if (::getpeername(m_hSocket, reinterpret_cast<sockaddr*>(&addr), &nLen) < 0)
        throw CBlockingSocketException(L"getpeername() failed.");
}

bool CBlockingSocket::HasPendingData() const
{
    const int n = WaitFor(m_hSocket, POLLIN, 0);
    if (n < 0) throw CBlockingSocketException(L"select() failed.");
    return n == 1;
}

sockaddr_in CBlockingSocket::ResolveHost(const std::string& strHost, unsigned short nPort) const
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* pResult = nullptr;
    const int rc = ::getaddrinfo(strHost.c_str(), nullptr, &hints, &pResult);
    if (rc != 0 || pResult == nullptr)
    {
        const int nCode = rc == EAI_SYSTEM ? errno : rc;
        throw CBlockingSocketException(HostNotFoundMessage(nsFTP::WideFromWire(strHost)), nCode);
    }
    sockaddr_in addr{};
    std::memcpy(&addr, pResult->ai_addr, sizeof(addr));
    ::freeaddrinfo(pResult);
    addr.sin_family = AF_INET;
    addr.sin_port = htons(nPort);
    return addr;
}

std::string CBlockingSocket::ResolveAddress(const sockaddr_in& addr) const
{
    char szHost[NI_MAXHOST] = {};
    const int rc = ::getnameinfo(reinterpret_cast<const sockaddr*>(&addr), sizeof(addr), szHost, sizeof(szHost),
                                 nullptr, 0, NI_NAMEREQD);
    if (rc != 0)
        throw CBlockingSocketException(L"The host could not be found. Please verify that you have entered the server "
                                       L"name and port correctly and make sure you are connected to the Internet.",
                                       rc == EAI_SYSTEM ? errno : rc);
    return szHost;
}

} // namespace nsSocket
