// The socket layer on loopback: errors and their texts, pieces of a large write, waits that never block.

#include "ftp/BlockingSocket.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

using nsSocket::CBlockingSocket;
using nsSocket::CBlockingSocketException;

namespace
{

sockaddr_in Loopback(unsigned short nPort)
{
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(nPort);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return addr;
}

// A listening socket and the connection accepted from it.
struct Pair
{
    CBlockingSocket listener, client, server;
    Pair()
    {
        listener.Create();
        listener.Bind(Loopback(0));
        listener.Listen();
        sockaddr_in addr{};
        listener.GetLocalAddress(addr);
        client.Create();
        client.Connect(addr, 5);
        sockaddr_in peer{};
        EXPECT_TRUE(listener.Accept(server, peer, 5));
    }
    ~Pair()
    {
        client.CloseQuietly();
        server.CloseQuietly();
        listener.CloseQuietly();
    }
};

class CCountingHook : public nsSocket::IActivityHook
{
public:
    CCountingHook() { nsSocket::SetActivityHook(this); }
    ~CCountingHook() override { nsSocket::SetActivityHook(nullptr); }
    void OnSocketActivity() override { ++m_nCalls; }
    std::atomic<int> m_nCalls{0};
};

TEST(BlockingSocket, UnresolvableHostNamesItInQuotes)
{
    CBlockingSocket socket;
    try
    {
        socket.ResolveHost("no..such..host", 21);
        FAIL() << "resolved";
    }
    catch (const CBlockingSocketException& e)
    {
        EXPECT_EQ(e.GetMessage(), L"The host 'no..such..host' could not be found. Please make sure you are connected "
                                  L"to the Internet and verify that you have entered the server name correctly.");
    }
}

TEST(BlockingSocket, RefusedConnectionThrowsWithTheSystemCode)
{
    // A port that was just free: nothing listens there.
    CBlockingSocket probe;
    probe.Create();
    probe.Bind(Loopback(0));
    sockaddr_in addr{};
    probe.GetLocalAddress(addr);
    probe.Close();

    CBlockingSocket socket;
    socket.Create();
    try
    {
        socket.Connect(addr, 5);
        FAIL() << "connected";
    }
    catch (const CBlockingSocketException& e)
    {
        EXPECT_EQ(e.GetErrorCode(), ECONNREFUSED);
        EXPECT_EQ(e.GetErrorText(),
                  L"Cannot establish a connection to the server.\n\nError code: " + std::to_wstring(ECONNREFUSED));
    }
    socket.CloseQuietly();
}

TEST(BlockingSocket, LargeWriteGoesInSeveralPiecesEachAnnounced)
{
    Pair pair;
    // A small send buffer makes the system take the data in pieces.
    const int nSmall = 16384;
    setsockopt(pair.client.GetHandle(), SOL_SOCKET, SO_SNDBUF, &nSmall, sizeof(nSmall));
    const std::string strData(1024 * 1024, 'z');

    std::atomic<size_t> nRead{0};
    std::thread reader(
        [&]
        {
            std::vector<char> buffer(65536);
            while (nRead < strData.size())
            {
                const int n = pair.server.Receive(buffer.data(), static_cast<int>(buffer.size()), 5);
                if (n <= 0) break;
                nRead += static_cast<size_t>(n);
            }
        });
    int nCalls = 0;
    {
        CCountingHook hook;
        EXPECT_EQ(pair.client.Write(strData.data(), static_cast<int>(strData.size()), 5),
                  static_cast<int>(strData.size()));
        nCalls = hook.m_nCalls;
    }
    reader.join();
    EXPECT_EQ(nRead, strData.size());
    // Several pieces, one notification each (the reader's receives go to the hook too, so only a lower bound).
    EXPECT_GT(nCalls, 2);
}

TEST(BlockingSocket, ReceiveAndPendingData)
{
    Pair pair;
    CCountingHook hook;
    char buffer[16];

    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(pair.client.HasPendingData());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));

    pair.server.Write("hi", 2, 5);
    EXPECT_EQ(pair.client.Receive(buffer, sizeof(buffer), 5), 2);

    try
    {
        pair.client.Receive(buffer, sizeof(buffer), 0);
        FAIL() << "received";
    }
    catch (const CBlockingSocketException& e)
    {
        EXPECT_EQ(e.GetErrorText(),
                  L"Unable to receive data (receive timeout).\n\nError code: " + std::to_wstring(ETIMEDOUT));
    }

    pair.server.Close();
    EXPECT_EQ(pair.client.Receive(buffer, sizeof(buffer), 5), 0);
    EXPECT_EQ(hook.m_nCalls, 4); // one per receive, one for the write
}

TEST(BlockingSocket, EmptyObjectClosesWithoutComplaint)
{
    CBlockingSocket socket;
    EXPECT_EQ(socket.GetHandle(), 0);
    EXPECT_NO_THROW(socket.CloseQuietly());
    EXPECT_NO_THROW(socket.Close());
    EXPECT_EQ(socket.GetHandle(), 0);
    // Reusable after a close.
    socket.Create();
    EXPECT_NE(socket.GetHandle(), 0);
    socket.Close();
    EXPECT_EQ(socket.GetHandle(), 0);
}

TEST(BlockingSocket, HandleIsNeverZeroEvenWhenDescriptorZeroIsFree)
{
    const int nSavedStdin = fcntl(0, F_DUPFD_CLOEXEC, 3);
    ASSERT_GE(nSavedStdin, 0);
    ::close(0);
    CBlockingSocket socket;
    socket.Create();
    const int nHandle = socket.GetHandle();
    // Put stdin back before any assertion can leave the test.
    dup2(nSavedStdin, 0);
    ::close(nSavedStdin);
    EXPECT_GT(nHandle, 0);
    socket.Close();
}

TEST(BlockingSocket, AcceptGivesUpAfterItsTimeout)
{
    CBlockingSocket listener;
    listener.Create();
    listener.Bind(Loopback(0));
    listener.Listen();
    CBlockingSocket target;
    sockaddr_in peer{};
    EXPECT_THROW(listener.Accept(target, peer, 1), CBlockingSocketException);
    EXPECT_EQ(target.GetHandle(), 0);
    listener.Close();
}

} // namespace
