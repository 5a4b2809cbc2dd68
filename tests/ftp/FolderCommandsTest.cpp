// Working folder and single-reply commands against the scripted server.

#include "fixtures/ReportRecorder.h"
#include "fixtures/ScriptedServer.h"
#include "fixtures/TestClient.h"

#include <gtest/gtest.h>

using nsTest::CReportRecorder;
using nsTest::CScriptedServer;
using nsTest::CTestClient;

namespace
{

// A scripted server that has already let the client in; the test adds its own steps after the logon.
class LoggedOn : public ::testing::Test
{
protected:
    void LogOnWithPwd(const std::string& strPwdReply)
    {
        m_server.Reply("220 hi").On("USER ann", "230 in").On("PWD", strPwdReply);
    }
    void Go(bool fExpectSuccess = true)
    {
        m_server.Start();
        ASSERT_EQ(m_client.LogOnTo(m_server.Port()), fExpectSuccess);
    }
    // The command lines after the logon's USER and PWD.
    std::vector<std::string> After()
    {
        EXPECT_TRUE(m_server.WaitDone());
        std::vector<std::string> v = m_server.Received();
        return v.size() > 2 ? std::vector<std::string>(v.begin() + 2, v.end()) : std::vector<std::string>{};
    }

    CReportRecorder m_report;
    CScriptedServer m_server;
    CTestClient m_client;
};

struct PwdCase
{
    const char* szReply;
    const wchar_t* szDirectory; // null: the logon fails with the reply shown
};

class PwdText : public LoggedOn, public ::testing::WithParamInterface<PwdCase>
{
};

TEST_P(PwdText, GivesTheDirectory)
{
    LogOnWithPwd(GetParam().szReply);
    Go(GetParam().szDirectory != nullptr);
    std::wstring strDir;
    if (GetParam().szDirectory)
    {
        EXPECT_EQ(m_client.CurrentDirectory(strDir), 0);
        EXPECT_EQ(strDir, GetParam().szDirectory);
        EXPECT_TRUE(m_report.Errors().empty());
    }
    else
    {
        ASSERT_EQ(m_report.Errors().size(), 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Replies, PwdText,
    ::testing::Values(PwdCase{"257 \"/home/ann\" is the current directory", L"/home/ann"},
                      PwdCase{"257 /home/ann is the current directory", L"/home/ann"},
                      PwdCase{"257 \"/home/ann smith\" is the current directory", L"/home/ann smith"},
                      PwdCase{"257 \"/say \"\"hi\"\" there\" is current", L"/say \"hi\" there"},
                      PwdCase{"257 \"/it's\"", L"/it's"}, PwdCase{"257 '/quoted'", L"/quoted"},
                      PwdCase{"257 \"/no/closing/quote", L"/no/closing/quote"},
                      PwdCase{"257-\"/multi\" is\r\n257 current", L"/multi"}, PwdCase{"257 \"\"", nullptr},
                      PwdCase{"257", nullptr}, PwdCase{"550 no folder", nullptr}));

TEST_F(LoggedOn, RelativeCwdIsCachedAsGiven)
{
    LogOnWithPwd("257 \"/home/ann\"");
    m_server.On("CWD pub", "250 ok");
    Go();
    EXPECT_EQ(m_client.ChangeDirectory(L"pub"), 0);
    std::wstring strDir;
    EXPECT_EQ(m_client.CurrentDirectory(strDir), 0);
    EXPECT_EQ(strDir, L"pub");
    EXPECT_EQ(After(), std::vector<std::string>{"CWD pub"});
}

TEST_F(LoggedOn, RefusedCwdKeepsTheCache)
{
    LogOnWithPwd("257 \"/home/ann\"");
    m_server.On("CWD nowhere", "550 No such directory.");
    Go();
    EXPECT_EQ(m_client.ChangeDirectory(L"nowhere"), 1);
    std::wstring strDir;
    EXPECT_EQ(m_client.CurrentDirectory(strDir), 0);
    EXPECT_EQ(strDir, L"/home/ann");
    EXPECT_EQ(m_report.Errors(), std::vector<std::wstring>{L"550 No such directory."});
}

TEST_F(LoggedOn, RefusedRnfrNeverSendsRnto)
{
    LogOnWithPwd("257 \"/\"");
    m_server.On("RNFR /a", "550 No such file.")
        .On("RNFR /b", "250 odd")
        .On("RNFR /c", "350 ready")
        .On("RNTO /d", "250 done");
    Go();
    EXPECT_EQ(m_client.RenameRemote(L"/a", L"/x"), 1);
    EXPECT_EQ(m_client.RenameRemote(L"/b", L"/x"), -1);
    EXPECT_EQ(m_client.RenameRemote(L"/c", L"/d"), 0);
    EXPECT_EQ(After(), (std::vector<std::string>{"RNFR /a", "RNFR /b", "RNFR /c", "RNTO /d"}));
    EXPECT_EQ(m_report.Errors(), (std::vector<std::wstring>{L"550 No such file.", L"250 odd"}));
}

TEST_F(LoggedOn, NewDirectoryShowsErrorsOnlyWhenAsked)
{
    LogOnWithPwd("257 \"/\"");
    m_server.On("MKD old", "550 exists").On("MKD old", "550 exists").On("MKD new", "257 \"new\" created");
    Go();
    EXPECT_EQ(m_client.NewDirectory(L"old", false), 1);
    EXPECT_TRUE(m_report.Errors().empty());
    EXPECT_EQ(m_client.NewDirectory(L"old", true), 1);
    EXPECT_EQ(m_report.Errors(), std::vector<std::wstring>{L"550 exists"});
    EXPECT_EQ(m_client.NewDirectory(L"new", false), 0);
}

TEST_F(LoggedOn, SingleReplyCommandsSendTheirLines)
{
    LogOnWithPwd("257 \"/\"");
    m_server.On("RMD /pub/old", "250 ok")
        .On("DELE /pub/a.txt", "250 ok")
        .On("SITE CHMOD 644 /pub/a.txt", "200 ok")
        .On("DELE /pub/b.txt", "150 what")
        .On("DELE /pub/c.txt", "600 nonsense");
    Go();
    EXPECT_EQ(m_client.DeleteDirectory(L"/pub/old"), 0);
    EXPECT_EQ(m_client.DeleteRemoteFile(L"/pub/a.txt"), 0);
    EXPECT_EQ(m_client.SendSiteCommand(L"CHMOD 644 /pub/a.txt"), 0);
    EXPECT_TRUE(m_report.Errors().empty());
    // Class 1 where 2 is expected, and a reply without a valid code: both -1 and shown, connection kept.
    EXPECT_EQ(m_client.DeleteRemoteFile(L"/pub/b.txt"), -1);
    EXPECT_EQ(m_client.DeleteRemoteFile(L"/pub/c.txt"), -1);
    EXPECT_EQ(m_report.Errors(), (std::vector<std::wstring>{L"150 what", L"600 nonsense"}));
    EXPECT_TRUE(m_client.IsConnected());
    EXPECT_EQ(After().size(), 5u);
}

TEST_F(LoggedOn, KeepAliveNeverReports)
{
    LogOnWithPwd("257 \"/home/ann\"");
    m_server.On("PWD", "257 \"/elsewhere\"").On("PWD", "550 refused").Expect("PWD").Close();
    Go();
    m_report.Clear();
    EXPECT_EQ(m_client.SendKeepAlive(), 0);
    EXPECT_EQ(m_client.SendKeepAlive(), 1);
    // The probe's answer never replaces the cached folder.
    std::wstring strDir;
    EXPECT_EQ(m_client.CurrentDirectory(strDir), 0);
    EXPECT_EQ(strDir, L"/home/ann");
    EXPECT_EQ(m_client.SendKeepAlive(), -1); // the server hung up
    EXPECT_EQ(m_client.SendKeepAlive(), -1); // and now nothing is connected
    EXPECT_TRUE(m_report.Errors().empty());
    EXPECT_TRUE(m_report.Replies().empty());
    // A dropped connection takes the folder with it, quietly.
    EXPECT_EQ(m_client.CurrentDirectory(strDir), -1);
    EXPECT_TRUE(m_report.Errors().empty());
}

TEST_F(LoggedOn, LogOffWithClass2Disconnects)
{
    LogOnWithPwd("257 \"/\"");
    m_server.On("QUIT", "221 Goodbye.");
    Go();
    EXPECT_EQ(m_client.LogOff(), 0);
    EXPECT_FALSE(m_client.IsConnected());
    EXPECT_TRUE(m_report.Errors().empty());
    // Commands on a disconnected client fail quietly.
    EXPECT_EQ(m_client.DeleteRemoteFile(L"/x"), -1);
    EXPECT_TRUE(m_report.Errors().empty());
}

} // namespace
