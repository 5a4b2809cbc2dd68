// The control connection against the scripted server: how replies are read, split, joined and judged.

#include "fixtures/ReportRecorder.h"
#include "fixtures/ScriptedServer.h"
#include "fixtures/TestClient.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <thread>

using nsTest::CReportRecorder;
using nsTest::CScriptedServer;
using nsTest::CTestClient;

namespace
{

using namespace std::string_literals;

struct ReplyCase
{
    const char* szName;
    std::vector<std::string> vPieces; // sent with a pause between them, then the connection stays open
    bool fCloseAfter;
    // Expected replies in order; an empty text means "ReadReply fails here".
    std::vector<std::wstring> vReplies;
};

const ReplyCase kReplyCases[] = {
    {"single", {"220 ready\r\n"}, false, {L"220 ready"}},
    {"multi_line", {"220-Welcome\r\n220-more\r\n220 ready\r\n"}, false, {L"220-Welcome\r\n220-more\r\n220 ready"}},
    {"multi_line_other_code_does_not_end_it", {"220-a\r\n221 b\r\n220 c\r\n"}, false, {L"220-a\r\n221 b\r\n220 c"}},
    {"multi_line_dash_in_last_line_does_not_end_it",
     {"220-a\r\n220-b\r\n220 c\r\n"},
     false,
     {L"220-a\r\n220-b\r\n220 c"}},
    {"split_into_pieces", {"22", "0 re", "ady\r", "\n"}, false, {L"220 ready"}},
    {"multi_line_split_mid_line", {"220-Wel", "come\r\n220 re", "ady\r\n"}, false, {L"220-Welcome\r\n220 ready"}},
    {"two_replies_in_one_receive", {"220 a\r\n331 b\r\n"}, true, {L"220 a", L"331 b"}},
    {"zero_byte_ends_its_receive", {"220 first\r\n\0junk"s, "331 next\r\n"}, false, {L"220 first", L"331 next"}},
    {"lone_line_feed_is_kept", {"220 x\n"}, false, {L"220 x\n"}},
    {"unterminated_line_at_close", {"220 partial"}, true, {L"220 partial"}},
    {"code_600_is_not_valid", {"600 bad\r\n"}, false, {L""}},
    {"second_digit_6_is_not_valid", {"260 bad\r\n"}, false, {L""}},
    {"single_character", {"2\r\n"}, false, {L""}},
    {"latin1_byte", {"220 caf\xe9\r\n"}, false, {L"220 caf\u00e9"}},
};

class ReplyReading : public ::testing::TestWithParam<ReplyCase>
{
};

TEST_P(ReplyReading, HandsOutRepliesAsSent)
{
    const ReplyCase& c = GetParam();
    CReportRecorder report;
    CScriptedServer server;
    server.SendPieces(c.vPieces, 60);
    if (c.fCloseAfter) server.Close();
    server.Start();

    CTestClient client;
    ASSERT_TRUE(client.OpenControl(L"127.0.0.1", server.Port()));
    for (const std::wstring& strExpected : c.vReplies)
    {
        nsFTP::CReply reply;
        const bool fOk = client.ReadReply(reply, true);
        if (strExpected.empty())
        {
            EXPECT_FALSE(fOk) << reply.Value().size();
            continue;
        }
        ASSERT_TRUE(fOk);
        EXPECT_EQ(reply.Value(), strExpected);
        EXPECT_EQ(reply.Code(), strExpected.substr(0, 3));
    }
    // The status line saw each reply, valid or not.
    EXPECT_EQ(report.Replies().size(), c.vReplies.size());
    EXPECT_TRUE(server.Errors().empty());
}

INSTANTIATE_TEST_SUITE_P(Replies, ReplyReading, ::testing::ValuesIn(kReplyCases),
                         [](const auto& info) { return std::string(info.param.szName); });

TEST(ControlConnection, ServerThatClosesFailsTheReadAndDisconnects)
{
    CReportRecorder report;
    CScriptedServer server;
    server.Close().Start();
    CTestClient client;
    ASSERT_TRUE(client.OpenControl(L"127.0.0.1", server.Port()));
    nsFTP::CReply reply;
    EXPECT_FALSE(client.ReadReply(reply, true));
    EXPECT_FALSE(client.IsConnected());
    ASSERT_EQ(report.Errors().size(), 1u);
    EXPECT_EQ(report.Errors()[0], L"The server closed the connection.");
}

TEST(ControlConnection, ReceiveTimeoutShowsTheSocketTextAndDisconnects)
{
    CReportRecorder report;
    CScriptedServer server;
    server.Pause(3000).Start();
    CTestClient client(1);
    ASSERT_TRUE(client.OpenControl(L"127.0.0.1", server.Port()));
    nsFTP::CReply reply;
    EXPECT_FALSE(client.ReadReply(reply, true));
    EXPECT_FALSE(client.IsConnected());
    ASSERT_EQ(report.Errors().size(), 1u);
    EXPECT_EQ(report.Errors()[0],
              L"Unable to receive data (receive timeout).\n\nError code: " + std::to_wstring(ETIMEDOUT));
}

TEST(ControlConnection, EndlessRepliesAreCutOffAtTheCap)
{
    const std::string strLong(nsFTP::CFTPClient::kMaxReplySize + 4096, 'x');
    std::string strManyLines = "220-start\r\n";
    while (strManyLines.size() <= nsFTP::CFTPClient::kMaxReplySize)
        strManyLines += "220-more of the same, and it never ends\r\n";
    for (const std::string& strBytes : {"220 " + strLong, strManyLines})
    {
        CReportRecorder report;
        CScriptedServer server;
        server.Send(strBytes).Pause(3000).Start();
        CTestClient client;
        ASSERT_TRUE(client.OpenControl(L"127.0.0.1", server.Port()));
        nsFTP::CReply reply;
        EXPECT_FALSE(client.ReadReply(reply, true));
        EXPECT_FALSE(client.IsConnected());
        ASSERT_EQ(report.Errors().size(), 1u);
        EXPECT_NE(report.Errors()[0].find(L"1 MiB"), std::wstring::npos);
    }
}

TEST(ControlConnection, SendsCommandLinesWithCrLfAndLatin1Bytes)
{
    CReportRecorder report;
    CScriptedServer server;
    server.Expect().Expect().Start();
    CTestClient client;
    ASSERT_TRUE(client.OpenControl(L"127.0.0.1", server.Port()));
    EXPECT_TRUE(client.SendCommandLine(L"NOOP", true));
    EXPECT_TRUE(client.SendCommandLine(L"DELE caf\u00e9", true));
    ASSERT_TRUE(server.WaitDone());
    EXPECT_EQ(server.Received(), (std::vector<std::string>{"NOOP", "DELE caf\xe9"}));
}

TEST(ControlConnection, CommandsThatCannotGoOnTheWireAreNotSent)
{
    // Characters above U+00FF have no byte, and a line break would smuggle in a second command.
    for (const std::wstring& strCommand :
         {std::wstring(L"DELE \u0100.txt"), std::wstring(L"DELE a\r\nRMD b"), std::wstring(L"DELE a\nRMD b")})
    {
        CReportRecorder report;
        CScriptedServer server;
        server.Start();
        CTestClient client;
        ASSERT_TRUE(client.OpenControl(L"127.0.0.1", server.Port()));
        EXPECT_FALSE(client.SendCommandLine(strCommand, true));
        EXPECT_TRUE(client.IsConnected());
        EXPECT_EQ(report.Errors().size(), 1u);
        client.CloseControl();
        ASSERT_TRUE(server.WaitClientClosed());
        EXPECT_TRUE(server.Received().empty());
    }
}

TEST(ControlConnection, PeerThatClosedMakesTheSendFailWithoutSigpipe)
{
    CReportRecorder report;
    CScriptedServer server;
    server.Close().Start();
    CTestClient client;
    ASSERT_TRUE(client.OpenControl(L"127.0.0.1", server.Port()));
    ASSERT_TRUE(server.WaitDone());
    // The first send may still be taken by the system; a later one meets the reset. The process must live.
    bool fFailed = false;
    for (int i = 0; i < 50 && !fFailed; ++i)
    {
        fFailed = !client.SendCommandLine(L"NOOP", true);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(fFailed);
    EXPECT_FALSE(client.IsConnected());
    ASSERT_FALSE(report.Errors().empty());
    EXPECT_EQ(report.Errors()[0].rfind(L"Unable to send data.\n\nError code: ", 0), 0u);
}

TEST(ControlConnection, ClassifyReplyByClass)
{
    struct
    {
        const wchar_t* szReply;
        int nResult;
        bool fShown;
    } const kCases[] = {
        {L"200 ok", 0, false},          {L"250 done", 0, false},    {L"450 busy", 1, true},
        {L"550 no such file", 1, true}, {L"150 opening", -1, true}, {L"331 more", -1, true},
    };
    CTestClient client;
    for (const auto& c : kCases)
    {
        CReportRecorder report;
        nsFTP::CReply reply;
        reply.Set(c.szReply);
        EXPECT_EQ(client.ClassifyReply(reply, true), c.nResult) << c.szReply;
        EXPECT_EQ(report.Errors().size(), c.fShown ? 1u : 0u) << c.szReply;
        report.Clear();
        EXPECT_EQ(client.ClassifyReply(reply, false), c.nResult);
        EXPECT_TRUE(report.Errors().empty());
    }
}

} // namespace
