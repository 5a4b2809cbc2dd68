// Logon sequences against the scripted server: the exact command lines of every firewall type.

#include "fixtures/ReportRecorder.h"
#include "fixtures/ScriptedServer.h"
#include "fixtures/TestClient.h"

#include <gtest/gtest.h>

using nsTest::CReportRecorder;
using nsTest::CScriptedServer;
using nsTest::CTestClient;

namespace
{

struct Exchange
{
    std::string strCommand;
    std::string strReply;
};

struct LogonCase
{
    const char* szName;
    int nType;
    unsigned short nHostPort; // port of the FTP server behind the firewall (enters the host designation)
    std::vector<Exchange> vSteps;
    bool fSuccess;
    const wchar_t* szError; // the one message shown, or null for none
};

// Host "ftp.example.com" is only ever named inside firewall commands; the connection goes to the firewall.
const LogonCase kLogonCases[] = {
    {"none", 0, 21, {{"USER ann", "331 pw"}, {"PASS secret", "230 in"}}, true, nullptr},
    {"none_user_accepted_at_once", 0, 21, {{"USER ann", "230 in"}}, true, nullptr},
    {"none_account_then_fail",
     0,
     21,
     {{"USER ann", "331 pw"}, {"PASS secret", "332 acct"}, {"ACCT ", "332 again"}},
     false,
     L"Logon failed."},
    {"none_refused_password",
     0,
     21,
     {{"USER ann", "331 pw"}, {"PASS secret", "530 Login incorrect."}},
     false,
     L"530 Login incorrect."},
    {"none_class1_reply", 0, 21, {{"USER ann", "150 what"}}, false, L"150 what"},
    {"site",
     1,
     2121,
     {{"USER fwu", "331 pw"},
      {"PASS fwp", "230 fw ok"},
      {"SITE ftp.example.com:2121", "331 go"},
      {"USER ann", "331 pw"},
      {"PASS secret", "230 in"}},
     true,
     nullptr},
    {"site_firewall_user_accepted_at_once",
     1,
     21,
     {{"USER fwu", "230 fw ok"}, {"SITE ftp.example.com", "331 go"}, {"USER ann", "230 in"}},
     true,
     nullptr},
    {"site_class2_fails",
     1,
     21,
     {{"USER fwu", "331 pw"}, {"PASS fwp", "230 fw ok"}, {"SITE ftp.example.com", "200 ok"}},
     false,
     L"Logon failed."},
    {"site_firewall_password_class3_fails",
     1,
     21,
     {{"USER fwu", "331 pw"}, {"PASS fwp", "332 ?"}},
     false,
     L"Logon failed."},
    {"user_at_host_after_logon",
     2,
     2121,
     {{"USER fwu", "331 pw"},
      {"PASS fwp", "230 fw ok"},
      {"USER ann@ftp.example.com:2121", "331 pw"},
      {"PASS secret", "230 in"}},
     true,
     nullptr},
    {"open_port_21",
     3,
     21,
     {{"OPEN ftp.example.com", "220 ok"}, {"USER ann", "331 pw"}, {"PASS secret", "230 in"}},
     true,
     nullptr},
    {"open_port_2121",
     3,
     2121,
     {{"OPEN ftp.example.com:2121", "331 ok"}, {"USER ann", "331 pw"}, {"PASS secret", "230 in"}},
     true,
     nullptr},
    {"transparent",
     4,
     21,
     {{"USER fwu", "331 pw"}, {"PASS fwp", "230 fw ok"}, {"USER ann", "331 pw"}, {"PASS secret", "230 in"}},
     true,
     nullptr},
    {"user_at_host", 5, 21, {{"USER ann@ftp.example.com", "331 pw"}, {"PASS secret", "230 in"}}, true, nullptr},
    {"fwuser_at_host",
     6,
     2121,
     {{"USER fwu@ftp.example.com:2121", "331 pw"},
      {"PASS fwp", "230 fw ok"},
      {"USER ann", "331 pw"},
      {"PASS secret", "230 in"}},
     true,
     nullptr},
    {"user_at_host_fwuser",
     7,
     21,
     {{"USER ann@ftp.example.com fwu", "331 pw"}, {"PASS secret", "230 in"}},
     true,
     nullptr},
    {"user_at_host_fwuser_class2_fails", 7, 21, {{"USER ann@ftp.example.com fwu", "230 in"}}, false, L"Logon failed."},
    {"user_at_fwuser_at_host",
     8,
     2121,
     {{"USER ann@fwu@ftp.example.com:2121", "331 pw"}, {"PASS secret@fwp", "230 in"}},
     true,
     nullptr},
    {"user_at_fwuser_at_host_account",
     8,
     21,
     {{"USER ann@fwu@ftp.example.com", "331 pw"}, {"PASS secret@fwp", "332 acct"}, {"ACCT ", "230 in"}},
     true,
     nullptr},
};

class LogonSequence : public ::testing::TestWithParam<LogonCase>
{
};

TEST_P(LogonSequence, SendsTheTableCommands)
{
    const LogonCase& c = GetParam();
    CReportRecorder report;
    CScriptedServer server;
    server.Reply("220 hello");
    std::vector<std::string> vExpected;
    for (const Exchange& e : c.vSteps)
    {
        server.On(e.strCommand, e.strReply);
        vExpected.push_back(e.strCommand);
    }
    if (c.fSuccess)
    {
        server.On("PWD", "257 \"/home/ann\" is the current directory");
        vExpected.push_back("PWD");
    }
    server.Start();

    CTestClient client;
    nsFTP::CLogonParameters logon;
    logon.m_nFwType = c.nType;
    logon.m_strUser = L"ann";
    logon.m_strPassword = L"secret";
    logon.m_strFwUser = L"fwu";
    logon.m_strFwPassword = L"fwp";
    if (c.nType == 0)
    {
        logon.m_strHost = L"127.0.0.1";
        logon.m_nPort = server.Port();
    }
    else
    {
        logon.m_strHost = L"ftp.example.com";
        logon.m_nPort = c.nHostPort;
        logon.m_strFwHost = L"127.0.0.1";
        logon.m_nFwPort = server.Port();
    }
    EXPECT_EQ(client.LogOn(logon, 5), c.fSuccess);
    ASSERT_TRUE(server.WaitDone());
    EXPECT_TRUE(server.Errors().empty()) << server.Errors().front();
    EXPECT_EQ(server.Received(), vExpected);
    if (c.szError)
        EXPECT_EQ(report.Errors(), std::vector<std::wstring>{c.szError});
    else
        EXPECT_TRUE(report.Errors().empty());

    // A failed logon leaves the connection open; a successful one knows its folder without asking again.
    EXPECT_TRUE(client.IsConnected());
    if (c.fSuccess)
    {
        std::wstring strDir;
        EXPECT_EQ(client.CurrentDirectory(strDir), 0);
        EXPECT_EQ(strDir, L"/home/ann");
        EXPECT_EQ(server.Received().size(), vExpected.size());
    }
}

INSTANTIATE_TEST_SUITE_P(FirewallTypes, LogonSequence, ::testing::ValuesIn(kLogonCases),
                         [](const auto& info) { return std::string(info.param.szName); });

TEST(Logon, GreetingThatIsNotClass2FailsAndShowsIt)
{
    CReportRecorder report;
    CScriptedServer server;
    server.Reply("120 wait a bit").Start();
    CTestClient client;
    EXPECT_FALSE(client.LogOnTo(server.Port()));
    EXPECT_EQ(report.Errors(), std::vector<std::wstring>{L"120 wait a bit"});
    EXPECT_TRUE(client.IsConnected());
}

TEST(Logon, UnknownFirewallTypeSendsNothing)
{
    CReportRecorder report;
    CScriptedServer server;
    server.Start();
    for (int nType : {-1, 9})
    {
        CTestClient client;
        nsFTP::CLogonParameters logon;
        logon.m_strHost = logon.m_strFwHost = L"127.0.0.1";
        logon.m_nPort = logon.m_nFwPort = server.Port();
        logon.m_nFwType = nType;
        EXPECT_FALSE(client.LogOn(logon, 5));
        EXPECT_FALSE(client.IsConnected());
    }
    EXPECT_EQ(report.Errors().size(), 2u);
    EXPECT_EQ(server.Connections(), 0);
}

TEST(Logon, LogOnWhileLoggedOnSendsQuitFirst)
{
    CReportRecorder report;
    CScriptedServer first;
    first.Reply("220 one").On("USER ann", "230 in").On("PWD", "257 \"/\"").On("QUIT", "221 bye").Start();
    CScriptedServer second;
    second.Reply("220 two").On("USER ann", "230 in").On("PWD", "257 \"/two\"").Start();

    CTestClient client;
    ASSERT_TRUE(client.LogOnTo(first.Port()));
    ASSERT_TRUE(client.LogOnTo(second.Port()));
    ASSERT_TRUE(first.WaitDone());
    ASSERT_TRUE(second.WaitDone());
    EXPECT_EQ(first.Received(), (std::vector<std::string>{"USER ann", "PWD", "QUIT"}));
    std::wstring strDir;
    EXPECT_EQ(client.CurrentDirectory(strDir), 0);
    EXPECT_EQ(strDir, L"/two");
    EXPECT_TRUE(report.Errors().empty());
}

TEST(Logon, UnreachableServerShowsTheSocketText)
{
    // The second name has no 8-bit form at all; it must be named as typed, not as an empty text.
    for (const std::wstring& strHost : {std::wstring(L"no..such..host"), std::wstring(L"h\u0100st.example")})
    {
        CReportRecorder report;
        CTestClient client;
        nsFTP::CLogonParameters logon;
        logon.m_strHost = strHost;
        EXPECT_FALSE(client.LogOn(logon, 5));
        EXPECT_FALSE(client.IsConnected());
        ASSERT_EQ(report.Errors().size(), 1u);
        EXPECT_NE(report.Errors()[0].find(L"'" + strHost + L"'"), std::wstring::npos);
    }
}

} // namespace
