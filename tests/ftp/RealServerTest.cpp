// The engine against a real server (pyftpdlib): logons and the folder and file commands.

#include "fixtures/PyFtpServer.h"
#include "fixtures/ReportRecorder.h"
#include "fixtures/TestClient.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using nsTest::CPyFtpServer;
using nsTest::CReportRecorder;
using nsTest::CTestClient;

namespace
{

class RealServer : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_server.Start()) << m_server.Error(); }

    CReportRecorder m_report;
    CPyFtpServer m_server;
    CTestClient m_client;
};

TEST_F(RealServer, UserAndAnonymousLogOnAtTheRoot)
{
    for (const auto& [strUser, strPassword] :
         {std::pair<std::wstring, std::wstring>{L"ann", L"secret"}, {L"anonymous", L"anonymous@example.com"}})
    {
        ASSERT_TRUE(m_client.LogOnTo(m_server.Port(), strUser, strPassword))
            << std::string(strUser.begin(), strUser.end());
        std::wstring strDir;
        EXPECT_EQ(m_client.CurrentDirectory(strDir), 0);
        EXPECT_EQ(strDir, L"/");
        EXPECT_EQ(m_client.SendKeepAlive(), 0);
        EXPECT_EQ(m_client.LogOff(), 0);
        EXPECT_FALSE(m_client.IsConnected());
    }
    EXPECT_TRUE(m_report.Errors().empty());
    // The greeting and every reply reached the status line.
    ASSERT_FALSE(m_report.Replies().empty());
    EXPECT_EQ(m_report.Replies()[0].rfind(L"220 Ravelin test server ready.", 0), 0u);
}

TEST_F(RealServer, WrongPasswordShowsTheServersReply)
{
    EXPECT_FALSE(m_client.LogOnTo(m_server.Port(), L"ann", L"wrong"));
    ASSERT_EQ(m_report.Errors().size(), 1u);
    EXPECT_EQ(m_report.Errors()[0].substr(0, 4), L"530 ");
}

TEST_F(RealServer, FolderAndFileCommandsChangeTheServersFiles)
{
    m_server.WriteFile("a.txt", "alpha");
    m_server.WriteFile("gone.txt", "x");
    ASSERT_TRUE(m_client.LogOnTo(m_server.Port()));

    EXPECT_EQ(m_client.NewDirectory(L"/made", true), 0);
    EXPECT_TRUE(m_server.Exists("made"));
    EXPECT_EQ(m_client.NewDirectory(L"/made", false), 1); // exists: refused, nothing shown
    EXPECT_EQ(m_client.ChangeDirectory(L"/made"), 0);
    std::wstring strDir;
    EXPECT_EQ(m_client.CurrentDirectory(strDir), 0);
    EXPECT_EQ(strDir, L"/made");
    EXPECT_EQ(m_client.ChangeDirectory(L"/"), 0);
    EXPECT_EQ(m_client.DeleteDirectory(L"/made"), 0);
    EXPECT_FALSE(m_server.Exists("made"));

    EXPECT_EQ(m_client.RenameRemote(L"/a.txt", L"/b.txt"), 0);
    EXPECT_EQ(m_server.ReadFile("b.txt"), "alpha");
    EXPECT_EQ(m_client.DeleteRemoteFile(L"/gone.txt"), 0);
    EXPECT_FALSE(m_server.Exists("gone.txt"));

    EXPECT_EQ(m_client.SendSiteCommand(L"CHMOD 600 /b.txt"), 0);
    struct stat st
    {
    };
    ASSERT_EQ(::stat((m_server.Root() + "/b.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_TRUE(m_report.Errors().empty());

    // Refusals carry the server's own text.
    EXPECT_EQ(m_client.DeleteRemoteFile(L"/missing.txt"), 1);
    EXPECT_EQ(m_client.RenameRemote(L"/missing.txt", L"/x"), 1);
    EXPECT_EQ(m_client.ChangeDirectory(L"/missing"), 1);
    ASSERT_EQ(m_report.Errors().size(), 3u);
    for (const std::wstring& strError : m_report.Errors())
        EXPECT_EQ(strError.substr(0, 4), L"550 ");

    EXPECT_EQ(m_client.LogOff(), 0);
    EXPECT_FALSE(m_client.IsConnected());
}

} // namespace
