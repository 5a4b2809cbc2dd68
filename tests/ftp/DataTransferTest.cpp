// Data connections against the scripted server: the exact command lines, PASV parsing, where the data
// connection goes, and how transfers fail.

#include "fixtures/ReportRecorder.h"
#include "fixtures/ScriptedServer.h"
#include "fixtures/TestClient.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

using nsTest::CReportRecorder;
using nsTest::CScriptedServer;
using nsTest::CTestClient;

namespace
{

const char* const kUnixLine = "-rw-r--r--   1 ann      ann          1024 Mar 05 14:07 notes.txt";

// Logged on to a scripted server; each test adds its steps after the logon.
class Scripted : public ::testing::Test
{
protected:
    Scripted() { m_server.Reply("220 hi").On("USER ann", "230 in").On("PWD", "257 \"/\""); }
    void Go(int nTimeoutSec = 5)
    {
        m_server.Start();
        ASSERT_TRUE(m_client.LogOnTo(m_server.Port(), L"ann", L"secret", nTimeoutSec));
        m_report.Clear();
    }
    std::vector<std::string> After()
    {
        EXPECT_TRUE(m_server.WaitDone());
        std::vector<std::string> v = m_server.Received();
        return v.size() > 2 ? std::vector<std::string>(v.begin() + 2, v.end()) : std::vector<std::string>{};
    }
    // A passive LIST exchange that sends the given listing bytes.
    // The first listing sends no TYPE: ASCII is what the server assumes after logon.
    CScriptedServer& PassiveList(const std::string& strList, bool fType = false)
    {
        if (fType) m_server.On("TYPE A N", "200 ok");
        return m_server.Expect("PASV")
            .ReplyPassive()
            .AcceptData()
            .On("LIST", "150 here it comes")
            .SendData(strList)
            .CloseData()
            .Reply("226 done");
    }

    CReportRecorder m_report;
    CScriptedServer m_server;
    CTestClient m_client;
    nsFTP::TFileStatusSequence m_vEntries;
};

TEST(PassiveReply, ParsesTheGroupOfSix)
{
    struct
    {
        const wchar_t* szText;
        bool fOk;
        std::uint32_t nAddress;
        unsigned short nPort;
    } const kCases[] = {
        {L"227 Entering Passive Mode (192,168,0,10,19,137)", true, 0xC0A8000A, 5001},
        {L"227 Entering Passive Mode (192,168,0,10,19,137). Thanks", true, 0xC0A8000A, 5001},
        {L"227 (,,,,1,2)", true, 0, 258},
        {L"227 Entering Passive Mode 192,168,0,10,19,137", false, 0, 0},
        {L"227 (192,168,0,10,19)", false, 0, 0},
        {L"227 (192,168,0,10,19,137", false, 0, 0},
        {L"227 (192;168,0,10,19,137)", false, 0, 0},
    };
    for (const auto& c : kCases)
    {
        std::uint32_t nAddress = 0;
        unsigned short nPort = 0;
        EXPECT_EQ(CTestClient::ParsePassiveReply(c.szText, nAddress, nPort), c.fOk)
            << std::string(c.szText, c.szText + wcslen(c.szText));
        if (c.fOk)
        {
            EXPECT_EQ(nAddress, c.nAddress);
            EXPECT_EQ(nPort, c.nPort);
        }
    }
}

TEST(DataCommand, LinesOfTheTable)
{
    EXPECT_EQ(CTestClient::DataCommandLine(nsFTP::DC_LIST, L""), L"LIST");
    EXPECT_EQ(CTestClient::DataCommandLine(nsFTP::DC_LIST, L"/pub"), L"LIST /pub");
    EXPECT_EQ(CTestClient::DataCommandLine(nsFTP::DC_NLST, L""), L"NLST");
    EXPECT_EQ(CTestClient::DataCommandLine(nsFTP::DC_RETR, L"a"), L"RETR a");
    EXPECT_EQ(CTestClient::DataCommandLine(nsFTP::DC_STOR, L"a"), L"STOR a");
    EXPECT_EQ(CTestClient::DataCommandLine(nsFTP::DC_STOU, L"a"), L"STOU a");
    EXPECT_EQ(CTestClient::DataCommandLine(nsFTP::DC_APPE, L"a"), L"APPE a");
    EXPECT_EQ(CTestClient::DataCommandLine(9, L"a"), L"");
}

TEST_F(Scripted, PortLineForAnAddressAndPort)
{
    m_server.On("PORT 10,0,0,2,19,137", "200 ok");
    Go();
    EXPECT_EQ(m_client.SendPortCommand(L"10.0.0.2", 5001), 0);
    EXPECT_EQ(After(), std::vector<std::string>{"PORT 10,0,0,2,19,137"});
}

TEST_F(Scripted, ListingOfAnEmptyPathSendsListWithoutBlank)
{
    PassiveList(std::string(kUnixLine) + "\r\n");
    Go();
    ASSERT_TRUE(m_client.ListDirectory(L"", m_vEntries, true));
    ASSERT_EQ(m_vEntries.size(), 1u);
    EXPECT_EQ(m_vEntries[0]->m_strName, L"notes.txt");
    EXPECT_EQ(m_vEntries[0]->m_strPath, L"");
    EXPECT_EQ(After(), (std::vector<std::string>{"PASV", "LIST"}));
    EXPECT_TRUE(m_report.Errors().empty());
}

TEST_F(Scripted, PassiveDataGoesToTheControlPeerNotToTheReplysAddress)
{
    // The reply names a foreign host; the data connection must still arrive here.
    m_server.Expect("PASV")
        .ReplyPassive("10,255,255,1")
        .AcceptData()
        .On("LIST /pub", "150 ok")
        .SendData(std::string(kUnixLine) + "\r\n")
        .CloseData()
        .Reply("226 done");
    Go();
    EXPECT_TRUE(m_client.ListDirectory(L"/pub", m_vEntries, true));
    EXPECT_EQ(m_vEntries.size(), 1u);
    EXPECT_TRUE(m_server.Errors().empty());
}

TEST_F(Scripted, PassiveReplyWithoutParenthesesFailsAndShowsItsText)
{
    m_server.On("PASV", "227 Entering Passive Mode 127,0,0,1,4,1");
    Go();
    m_vEntries.resize(3);
    EXPECT_FALSE(m_client.ListDirectory(L"", m_vEntries, true));
    EXPECT_EQ(m_vEntries.size(), 3u); // left as it was
    EXPECT_EQ(m_report.Errors(), std::vector<std::wstring>{L"227 Entering Passive Mode 127,0,0,1,4,1"});
    EXPECT_TRUE(m_client.IsConnected());
}

TEST_F(Scripted, EveryLineOfAListingArrives)
{
    // Bare line feeds, a CR LF, and a last line without any terminator.
    const std::string strList = std::string("total 3\n") + kUnixLine + "\n" +
                                "drwxr-xr-x   2 ann      ann          4096 Jan 01  2001 caf\xe9\r\n" +
                                "lrwxrwxrwx   1 ann      ann             7 Jan 01  2001 bin -> usr/bin";
    PassiveList(strList);
    Go();
    ASSERT_TRUE(m_client.ListDirectory(L"", m_vEntries, true));
    ASSERT_EQ(m_vEntries.size(), 3u);
    EXPECT_EQ(m_vEntries[0]->m_strName, L"notes.txt");
    EXPECT_EQ(m_vEntries[1]->m_strName, L"caf\u00e9");
    EXPECT_TRUE(m_vEntries[1]->m_fIsDirectory);
    EXPECT_EQ(m_vEntries[2]->m_strName, L"bin -> usr/bin");
}

TEST_F(Scripted, EightBitNameGoesBackAsTheSameByte)
{
    PassiveList("-rw-r--r--   1 ann      ann             3 Mar 05 14:07 caf\xe9.txt\r\n");
    m_server.On("TYPE I", "200 ok")
        .Expect("PASV")
        .ReplyPassive()
        .AcceptData()
        .On("RETR caf\xe9.txt", "150 ok")
        .SendData("abc")
        .CloseData()
        .Reply("226 done");
    Go();
    ASSERT_TRUE(m_client.ListDirectory(L"", m_vEntries, true));
    ASSERT_EQ(m_vEntries.size(), 1u);
    ASSERT_EQ(m_vEntries[0]->m_strName, L"caf\u00e9.txt");
    auto pData = m_client.OpenTransfer(m_vEntries[0]->m_strName, true, false);
    ASSERT_TRUE(pData);
    char buffer[16];
    int nReceived = 0;
    std::string strGot;
    while (m_client.ReadTransfer(*pData, buffer, sizeof(buffer), nReceived) && nReceived > 0)
        strGot.append(buffer, static_cast<size_t>(nReceived));
    EXPECT_TRUE(m_client.CloseTransfer(std::move(pData)));
    EXPECT_EQ(strGot, "abc");
    EXPECT_TRUE(m_server.Errors().empty());
}

TEST_F(Scripted, TypeIsSentOnlyWhenItChanges)
{
    auto Retr = [this](const std::string& strName) -> CScriptedServer&
    {
        return m_server.Expect("PASV")
            .ReplyPassive()
            .AcceptData()
            .On("RETR " + strName, "150 ok")
            .SendData("x")
            .CloseData()
            .Reply("226 done");
    };
    m_server.On("TYPE I", "200 ok");
    Retr("a");
    Retr("b");
    PassiveList(std::string(kUnixLine) + "\r\n", true);
    Go();
    for (const wchar_t* szName : {L"a", L"b"})
    {
        auto pData = m_client.OpenTransfer(szName, true, false);
        ASSERT_TRUE(pData);
        char buffer[8];
        int n = 0;
        while (m_client.ReadTransfer(*pData, buffer, sizeof(buffer), n) && n > 0)
        {
        }
        EXPECT_TRUE(m_client.CloseTransfer(std::move(pData)));
    }
    EXPECT_TRUE(m_client.ListDirectory(L"", m_vEntries, true));
    const std::vector<std::string> vExpected = {"TYPE I", "PASV",     "RETR a", "PASV",
                                                "RETR b", "TYPE A N", "PASV",   "LIST"};
    EXPECT_EQ(After(), vExpected);
}

TEST_F(Scripted, RefusedRetrLeavesTheClientConnectedAndReady)
{
    m_server.On("TYPE I", "200 ok")
        .Expect("PASV")
        .ReplyPassive()
        .AcceptData()
        .On("RETR missing", "550 No such file.")
        .On("DELE other", "250 deleted");
    Go();
    EXPECT_FALSE(m_client.OpenTransfer(L"missing", true, false));
    EXPECT_EQ(m_report.Errors(), std::vector<std::wstring>{L"550 No such file."});
    EXPECT_TRUE(m_client.IsConnected());
    EXPECT_FALSE(m_client.IsTransferRunning());
    EXPECT_EQ(m_client.DeleteRemoteFile(L"other"), 0);
}

TEST_F(Scripted, FinalReplyThatIsNotClass2FailsTheTransfer)
{
    m_server.Expect("PASV")
        .ReplyPassive()
        .AcceptData()
        .On("LIST", "150 ok")
        .SendData(std::string(kUnixLine) + "\r\n")
        .CloseData()
        .Reply("451 Local error in processing.");
    Go();
    m_vEntries.resize(2);
    EXPECT_FALSE(m_client.ListDirectory(L"", m_vEntries, true));
    EXPECT_EQ(m_vEntries.size(), 2u);
    EXPECT_EQ(m_report.Errors(), std::vector<std::wstring>{L"451 Local error in processing."});
}

TEST_F(Scripted, StalledDataConnectionHitsTheTimeout)
{
    m_server.Expect("PASV").ReplyPassive().AcceptData().On("LIST", "150 ok").Pause(2500);
    Go(1);
    EXPECT_FALSE(m_client.ListDirectory(L"", m_vEntries, true));
    ASSERT_EQ(m_report.Errors().size(), 1u);
    EXPECT_EQ(m_report.Errors()[0].rfind(L"Unable to receive data (receive timeout).", 0), 0u);
    EXPECT_FALSE(m_client.IsTransferRunning());
}

TEST_F(Scripted, ActiveModeListsThroughPort)
{
    m_server
        .Expect() // PORT h1,h2,h3,h4,p1,p2
        .Reply("200 PORT ok")
        .Expect("LIST")
        .Reply("150 ok")
        .ConnectActive()
        .SendData(std::string(kUnixLine) + "\r\n")
        .CloseData()
        .Reply("226 done");
    Go();
    ASSERT_TRUE(m_client.ListDirectory(L"", m_vEntries, false));
    EXPECT_EQ(m_vEntries.size(), 1u);
    const std::vector<std::string> vLines = After();
    ASSERT_EQ(vLines.size(), 2u);
    EXPECT_EQ(vLines[0].rfind("PORT 127,0,0,1,", 0), 0u);
    EXPECT_EQ(vLines[1], "LIST");
    EXPECT_TRUE(m_server.Errors().empty());
}

TEST_F(Scripted, ActiveModeGivesUpWhenTheServerNeverConnects)
{
    m_server.Expect().Reply("200 PORT ok").On("LIST", "150 ok").Pause(2500);
    Go(1);
    EXPECT_FALSE(m_client.ListDirectory(L"", m_vEntries, false));
    ASSERT_EQ(m_report.Errors().size(), 1u);
    EXPECT_NE(m_report.Errors()[0].find(L"accept timeout"), std::wstring::npos);
}

TEST_F(Scripted, AbortDuringAndOutsideATransfer)
{
    // A sink that asks for the abort while the data flows.
    class CAbortingSink : public nsFTP::ITransferNotification
    {
    public:
        explicit CAbortingSink(nsFTP::CFTPClient& client) : m_client(client) {}
        void DataReceived(const char*, int) override { m_nResult = m_client.AbortTransfer(); }
        void FillSendBuffer(char*, int, int& nCount) override { nCount = 0; }
        nsFTP::CFTPClient& m_client;
        int m_nResult = -2;
    };
    m_server.On("ABOR", "226 nothing to abort")
        .Expect("PASV")
        .ReplyPassive()
        .AcceptData()
        .On("RETR big", "150 ok")
        .SendData(std::string(100000, 'x'))
        .On("ABOR", "226 aborted");
    Go();
    EXPECT_EQ(m_client.AbortTransfer(), 0);
    CAbortingSink sink(m_client);
    EXPECT_FALSE(m_client.RunDataCommand(
        sink, nsFTP::DC_RETR, L"big",
        nsFTP::CRepresentation{nsFTP::CRepresentation::ASCII, nsFTP::CRepresentation::NonPrint}, true));
    EXPECT_EQ(sink.m_nResult, 0); // during the transfer the request only raised the flag
    EXPECT_EQ(After(), (std::vector<std::string>{"ABOR", "PASV", "RETR big", "ABOR"}));
    EXPECT_TRUE(m_report.Errors().empty());
}

TEST_F(Scripted, EndlessListingStopsAtTheCap)
{
    std::string strList;
    while (strList.size() < 300 * 1024)
        strList += std::string(kUnixLine) + "\r\n";
    m_server.Expect("PASV")
        .ReplyPassive()
        .AcceptData()
        .On("LIST", "150 ok")
        .SendData(strList)
        .Pause(300)
        .Reply("426 Connection closed; transfer aborted.")
        .On("DELE x", "250 deleted");
    Go();
    m_client.SetMaxListingSize(100 * 1024);
    EXPECT_FALSE(m_client.ListDirectory(L"", m_vEntries, true));
    ASSERT_EQ(m_report.Errors().size(), 1u);
    EXPECT_NE(m_report.Errors()[0].find(L"It was not read to the end."), std::wstring::npos);
    // The answer to the broken transfer was taken: the next command gets its own reply.
    EXPECT_EQ(m_client.DeleteRemoteFile(L"x"), 0);
    EXPECT_EQ(m_report.Errors().size(), 1u);
}

} // namespace

namespace
{

TEST_F(Scripted, RefusedFormatFallsBackToTheTypeAlone)
{
    // Some servers refuse "TYPE A N" although N is the default; the listing must still work, silently.
    m_server.On("TYPE I", "200 ok")
        .Expect("PASV")
        .ReplyPassive()
        .AcceptData()
        .On("RETR a", "150 ok")
        .CloseData()
        .Reply("226 done")
        .On("TYPE A N", "504 Unsupported type.")
        .On("TYPE A", "200 Type set to: ASCII.");
    PassiveList(std::string(kUnixLine) + "\r\n");
    Go();
    auto pData = m_client.OpenTransfer(L"a", true, false);
    ASSERT_TRUE(pData);
    EXPECT_TRUE(m_client.CloseTransfer(std::move(pData)));
    EXPECT_TRUE(m_client.ListDirectory(L"", m_vEntries, true));
    EXPECT_EQ(m_vEntries.size(), 1u);
    EXPECT_TRUE(m_report.Errors().empty());
}

} // namespace
