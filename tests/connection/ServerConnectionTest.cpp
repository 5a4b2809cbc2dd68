// CServerConnection: logging in with a site, start folders, listings and the keep-alive, against the scripted
// server where the command lines matter and against pyftpdlib where a real server does.

#include "connection/ServerConnection.h"
#include "LoopbackSite.h"
#include "fixtures/PyFtpServer.h"
#include "fixtures/ReportRecorder.h"
#include "fixtures/ScriptedServer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

using nsTest::CPyFtpServer;
using nsTest::CReportRecorder;
using nsTest::CScriptedServer;

namespace
{

std::vector<std::string> Tail(const std::vector<std::string>& v, size_t nSkip)
{
    return v.size() > nSkip ? std::vector<std::string>(v.begin() + static_cast<long>(nSkip), v.end())
                            : std::vector<std::string>{};
}

// ---- start folders (scripted) ----

struct StartFolderCase
{
    const char* szName;
    const char* szHome;
    std::wstring strStart;
    std::vector<std::pair<std::string, std::string>> vExchanges; // what the server sees and answers
    const wchar_t* szFinal;
};

const StartFolderCase kStartFolders[] = {
    {"relative", "/home/ann", L"pub", {{"CWD /home/ann/pub", "250 ok"}}, L"/home/ann/pub"},
    {"absolute", "/home/ann", L"/pub", {{"CWD /home/ann/pub", "250 ok"}}, L"/home/ann/pub"},
    {"home_prefix", "/home/ann", L"/home/ann/pub", {{"CWD /home/ann/pub", "250 ok"}}, L"/home/ann/pub"},
    {"home_prefix_other_case", "/home/ann", L"/HOME/Ann/pub", {{"CWD /home/ann/pub", "250 ok"}}, L"/home/ann/pub"},
    {"blanks", "/home/ann", L"  pub \t", {{"CWD /home/ann/pub", "250 ok"}}, L"/home/ann/pub"},
    {"backslash", "/home/ann", L"\\pub", {{"CWD /home/ann/pub", "250 ok"}}, L"/home/ann/pub"},
    {"empty", "/home/ann", L"", {}, L"/home/ann"},
    {"blank", "/home/ann", L"   ", {}, L"/home/ann"},
    {"home_itself", "/home/ann", L"/home/ann", {}, L"/home/ann"},
    {"refused",
     "/home/ann",
     L"pub",
     {{"CWD /home/ann/pub", "550 No such directory."}, {"CWD /home/ann", "250 ok"}},
     L"/home/ann"},
    {"sibling_is_not_inside_home",
     "/home/ann",
     L"/home/annex",
     {{"CWD /home/ann/home/annex", "250 ok"}},
     L"/home/ann/home/annex"},
    {"root_home", "/", L"/pub", {{"CWD /pub", "250 ok"}}, L"/pub"},
};

class StartFolder : public ::testing::TestWithParam<StartFolderCase>
{
};

TEST_P(StartFolder, IsTakenRelativeToTheHomeFolder)
{
    const StartFolderCase& c = GetParam();
    CReportRecorder report;
    CScriptedServer server;
    server.Reply("220 hi")
        .On("USER ann", "331 pw")
        .On("PASS secret", "230 in")
        .On("PWD", std::string("257 \"") + c.szHome + "\" is the current directory");
    for (const auto& [strCommand, strReply] : c.vExchanges)
        server.On(strCommand, strReply);
    server.Start();

    CServerConnection connection;
    ASSERT_TRUE(connection.Connect(LoopbackSite(server.Port())));
    connection.OpenStartFolder(c.strStart);
    EXPECT_EQ(connection.GetCurrentFolder(), c.szFinal);
    ASSERT_TRUE(server.WaitDone());
    std::vector<std::string> vExpected;
    for (const auto& exchange : c.vExchanges)
        vExpected.push_back(exchange.first);
    EXPECT_EQ(Tail(server.Received(), 3), vExpected);
    EXPECT_TRUE(server.Errors().empty());
}

INSTANTIATE_TEST_SUITE_P(Table, StartFolder, ::testing::ValuesIn(kStartFolders),
                         [](const auto& info) { return std::string(info.param.szName); });

// ---- listing, records, keep-alive (scripted) ----

class ScriptedConnection : public ::testing::Test
{
protected:
    ScriptedConnection()
    {
        m_server.Reply("220 hi").On("USER ann", "331 pw").On("PASS secret", "230 in").On("PWD", "257 \"/home/ann\"");
    }
    void Go(CSiteRecord site)
    {
        m_server.Start();
        site.SetPort(m_server.Port());
        ASSERT_TRUE(m_connection.Connect(site));
    }
    void ListWith(const std::string& strList)
    {
        m_server.Expect("PASV").ReplyPassive().AcceptData().On("LIST /home/ann", "150 ok").SendData(strList);
        m_server.CloseData().Reply("226 done");
    }

    CReportRecorder m_report;
    CScriptedServer m_server;
    CServerConnection m_connection;
};

TEST_F(ScriptedConnection, DotEntriesNeverAppearAndLinksKeepBothNames)
{
    ListWith("drwxr-xr-x   2 ann      ann          4096 Mar 05 14:07 .\r\n"
             "drwxr-xr-x   9 root     root         4096 Mar 05 14:07 ..\r\n"
             "lrwxrwxrwx   1 ann      ann            11 Mar 05 14:07 link -> /etc/target\r\n"
             "lrwxrwxrwx   1 ann      ann            11 Mar 05 14:07 odd\r\n"
             "-rw-r--r--   1 ann      ann            10 Mar 05 14:07 notes.txt\r\n");
    Go(LoopbackSite(0));
    ASSERT_TRUE(m_connection.ReadListing());
    const auto& vListing = m_connection.GetListing();
    ASSERT_EQ(vListing.size(), 3u);
    // Links count as folders (they can be entered), so they come first.
    EXPECT_EQ(vListing[0].m_strDisplayName, L"link");
    EXPECT_EQ(vListing[0].m_strRawName, L"link -> /etc/target");
    EXPECT_EQ(vListing[0].m_nLink, 1);
    EXPECT_EQ(vListing[0].m_nDirectory, 1);
    EXPECT_EQ(vListing[0].m_strAttributes, L"lrwxrwxrwx");
    EXPECT_EQ(vListing[0].m_strOwner, L"ann");
    EXPECT_EQ(vListing[0].m_strFolderPath, L"/home/ann");
    EXPECT_EQ(vListing[1].m_strDisplayName, L"odd"); // a link without an arrow still is one
    EXPECT_EQ(vListing[1].m_nLink, 1);
    EXPECT_EQ(vListing[2].m_strDisplayName, L"notes.txt");
    EXPECT_EQ(vListing[2].m_nSize, 10);
    EXPECT_EQ(vListing[2].m_nLink, 0);
}

TEST_F(ScriptedConnection, RecordTimeIsTheTrueUtcInstant)
{
    // The listing's 14:07 is local time in Berlin (CET in March, UTC+1): the record holds 13:07 UTC, and shown
    // in local time it is 14:07 again, not shifted once more.
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    ListWith("-rw-r--r--   1 ann      ann            10 Mar 05  2024 notes.txt\r\n");
    Go(LoopbackSite(0));
    ASSERT_TRUE(m_connection.ReadListing());
    const CListingRecord& record = m_connection.GetListing().at(0);
    EXPECT_EQ(UnixSecondsFromFileTime(record.m_ftModified), 1709593200); // 2024-03-04 23:00 UTC
    SYSTEMTIME stLocal;
    ASSERT_TRUE(FileTimeToLocalSystemTime(record.m_ftModified, stLocal));
    EXPECT_EQ(stLocal.wYear, 2024);
    EXPECT_EQ(stLocal.wMonth, 3);
    EXPECT_EQ(stLocal.wDay, 5);
    EXPECT_EQ(stLocal.wHour, 0);
    SYSTEMTIME stUtc;
    ASSERT_TRUE(FileTimeToSystemTime(record.m_ftModified, stUtc));
    EXPECT_EQ(stUtc.wDay, 4);
    EXPECT_EQ(stUtc.wHour, 23);
}

TEST_F(ScriptedConnection, KeepAliveProbesOnlyWhenAskedAndNeverWhileHeld)
{
    m_server.On("PWD", "257 \"/home/ann\"");
    CSiteRecord site = LoopbackSite(0);
    Go(site);
    m_connection.KeepAlive(); // one probe
    {
        CServerConnection::CWorkerHold hold(m_connection);
        EXPECT_TRUE(m_connection.IsHeldByWorker());
        m_connection.KeepAlive(); // held: nothing
    }
    EXPECT_FALSE(m_connection.IsHeldByWorker());
    m_connection.Disconnect();
    m_connection.KeepAlive(); // not connected: nothing
    ASSERT_TRUE(m_server.WaitClientClosed());
    EXPECT_EQ(Tail(m_server.Received(), 3), (std::vector<std::string>{"PWD", "QUIT"}));
    EXPECT_TRUE(m_report.Errors().empty());
}

TEST_F(ScriptedConnection, KeepAliveStaysQuietWhenTheSiteDoesNotAskForIt)
{
    CSiteRecord site = LoopbackSite(0);
    site.SetKeepAlive(false);
    Go(site);
    m_connection.KeepAlive();
    m_connection.Disconnect();
    ASSERT_TRUE(m_server.WaitClientClosed());
    EXPECT_EQ(Tail(m_server.Received(), 3), std::vector<std::string>{"QUIT"});
}

TEST(ScriptedConnectionLogon, AnonymousSiteIgnoresTheStoredCredentials)
{
    CReportRecorder report;
    CScriptedServer server;
    server.Reply("220 hi")
        .On("USER anonymous", "331 send your e-mail")
        .On("PASS anonymous@user.net", "230 welcome")
        .On("PWD", "257 \"/\"")
        .Start();
    CSiteRecord site = LoopbackSite(server.Port(), L"ann", L"secret");
    site.SetAnonymous(true);
    CServerConnection connection;
    ASSERT_TRUE(connection.Connect(site));
    EXPECT_EQ(std::wstring(CServerConnection::kAnonymousPassword).size(), 18u);
    EXPECT_EQ(connection.GetHomeFolder(), L"/");
    EXPECT_FALSE(connection.GetEngine().IsRestartAllowed());
    EXPECT_TRUE(server.Errors().empty());
}

TEST(ScriptedConnectionLogon, FailedLogonKeepsThePreviousSiteAndHome)
{
    CReportRecorder report;
    CScriptedServer server;
    server.Reply("220 hi").On("USER ann", "331 pw").On("PASS secret", "530 Login incorrect.").Start();
    CServerConnection connection;
    EXPECT_FALSE(connection.Connect(LoopbackSite(server.Port())));
    EXPECT_EQ(connection.GetSite().GetHost(), L"");
    EXPECT_EQ(connection.GetHomeFolder(), L"");
    EXPECT_EQ(connection.GetLogonParameters().m_strUser, L"ann");
    EXPECT_EQ(report.Errors(), std::vector<std::wstring>{L"530 Login incorrect."});
}

// ---- against pyftpdlib ----

class RealConnection : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_server.Start()) << m_server.Error(); }

    CReportRecorder m_report;
    CPyFtpServer m_server;
    CServerConnection m_connection;
};

TEST_F(RealConnection, UserAndAnonymousSitesLogIn)
{
    ASSERT_TRUE(m_connection.Connect(LoopbackSite(m_server.Port())));
    EXPECT_EQ(m_connection.GetHomeFolder(), L"/");
    EXPECT_EQ(m_connection.GetSite().GetLabel(), L"Test");
    m_connection.Disconnect();
    EXPECT_FALSE(m_connection.IsConnected());

    CSiteRecord anonymous = LoopbackSite(m_server.Port(), L"nobody", L"wrong");
    anonymous.SetAnonymous(true);
    ASSERT_TRUE(m_connection.Connect(anonymous));
    EXPECT_TRUE(m_connection.IsConnected());
    EXPECT_TRUE(m_report.Errors().empty());
}

TEST_F(RealConnection, OnlyTheLowSixteenBitsOfThePortCount)
{
    CSiteRecord site = LoopbackSite(0);
    site.SetPort(65536 + m_server.Port());
    EXPECT_TRUE(m_connection.Connect(site));
}

TEST_F(RealConnection, ListingPutsFoldersFirstAndIgnoresCase)
{
    for (const char* szFile : {"B", "a", "c"})
        m_server.WriteFile(szFile, "x");
    for (const char* szFolder : {"Z", "y"})
        m_server.MakeFolder(szFolder);
    m_server.MakeFolder("empty");
    ASSERT_TRUE(m_connection.Connect(LoopbackSite(m_server.Port())));
    ASSERT_TRUE(m_connection.ChangeFolder(L"/"));
    ASSERT_TRUE(m_connection.ReadListing());
    std::vector<std::wstring> vNames;
    for (const CListingRecord& record : m_connection.GetListing())
        vNames.push_back(record.m_strDisplayName);
    EXPECT_EQ(vNames, (std::vector<std::wstring>{L"empty", L"y", L"Z", L"a", L"B", L"c"}));

    // An empty folder lists fine but stores nothing.
    ASSERT_TRUE(m_connection.ChangeFolder(L"/empty"));
    EXPECT_FALSE(m_connection.ReadListing());
    EXPECT_TRUE(m_connection.GetListing().empty());
    EXPECT_TRUE(m_report.Errors().empty());
}

TEST_F(RealConnection, JobOperationsReachTheServer)
{
    m_server.WriteFile("gone.txt", "x");
    ASSERT_TRUE(m_connection.Connect(LoopbackSite(m_server.Port())));
    EXPECT_TRUE(m_connection.MakeFolder(L"/made", true));
    EXPECT_FALSE(m_connection.MakeFolder(L"/made", false));
    EXPECT_TRUE(m_report.Errors().empty());
    nsFTP::TFileStatusSequence vEntries;
    ASSERT_TRUE(m_connection.ListFolder(L"/", vEntries));
    EXPECT_EQ(vEntries.size(), 2u);
    m_connection.RemoveFolder(L"/made");
    m_connection.DeleteRemoteFile(L"/gone.txt");
    EXPECT_FALSE(m_server.Exists("made"));
    EXPECT_FALSE(m_server.Exists("gone.txt"));

    auto pData = m_connection.OpenTransfer(L"/new.txt", true);
    ASSERT_TRUE(pData);
    int nSent = 0;
    EXPECT_TRUE(m_connection.GetEngine().WriteTransfer(*pData, "hello", 5, nSent));
    EXPECT_TRUE(m_connection.GetEngine().CloseTransfer(std::move(pData)));
    EXPECT_EQ(m_server.ReadFile("new.txt"), "hello");
}

} // namespace
