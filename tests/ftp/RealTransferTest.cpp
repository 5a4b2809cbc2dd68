// Listings, downloads and uploads against a real server (pyftpdlib), in passive and active mode, through the
// closed loop and through the open transfer interface, compared byte for byte.

#include "fixtures/PyFtpServer.h"
#include "fixtures/ReportRecorder.h"
#include "fixtures/TestClient.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using nsTest::CPyFtpServer;
using nsTest::CReportRecorder;
using nsTest::CTestClient;

namespace
{

const nsFTP::CRepresentation kImage{nsFTP::CRepresentation::Image, nsFTP::CRepresentation::NonPrint};

class CMemorySink : public nsFTP::ITransferNotification
{
public:
    void DataReceived(const char* pBuffer, int nCount) override
    {
        m_strData.append(pBuffer, static_cast<size_t>(nCount));
    }
    void FillSendBuffer(char*, int, int& nCount) override { nCount = 0; }
    std::string m_strData;
};

class CMemorySource : public nsFTP::ITransferNotification
{
public:
    explicit CMemorySource(const std::string& strData) : m_strData(strData) {}
    void DataReceived(const char*, int) override {}
    void FillSendBuffer(char* pBuffer, int nCapacity, int& nCount) override
    {
        nCount = static_cast<int>(std::min<size_t>(static_cast<size_t>(nCapacity), m_strData.size() - m_nPos));
        std::copy_n(m_strData.data() + m_nPos, nCount, pBuffer);
        m_nPos += static_cast<size_t>(nCount);
    }

private:
    const std::string& m_strData;
    size_t m_nPos = 0;
};

std::string Contents(size_t nSize, unsigned nSeed)
{
    std::string str(nSize, '\0');
    std::mt19937 rng(nSeed);
    for (char& ch : str)
        ch = static_cast<char>(rng() & 0xFF);
    return str;
}

std::string AllByteValues()
{
    std::string str;
    for (int round = 0; round < 3; ++round)
        for (int i = 0; i < 256; ++i)
            str += static_cast<char>(i);
    return str;
}

struct Mode
{
    bool fPassive;
    bool fOpenInterface;
};

class RealTransfer : public ::testing::TestWithParam<Mode>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.Start()) << m_server.Error();
        ASSERT_TRUE(m_client.LogOnTo(m_server.Port()));
    }

    std::string Download(const std::wstring& strPath)
    {
        if (!GetParam().fOpenInterface)
        {
            CMemorySink sink;
            EXPECT_TRUE(m_client.RunDataCommand(sink, nsFTP::DC_RETR, strPath, kImage, GetParam().fPassive));
            return sink.m_strData;
        }
        auto pData = m_client.OpenTransfer(strPath, GetParam().fPassive, false);
        EXPECT_TRUE(pData);
        if (!pData) return {};
        std::string strData;
        char buffer[1024];
        int nReceived = 0;
        while (m_client.ReadTransfer(*pData, buffer, sizeof(buffer), nReceived) && nReceived > 0)
            strData.append(buffer, static_cast<size_t>(nReceived));
        EXPECT_TRUE(m_client.CloseTransfer(std::move(pData)));
        return strData;
    }

    void Upload(const std::wstring& strPath, const std::string& strData)
    {
        if (!GetParam().fOpenInterface)
        {
            CMemorySource source(strData);
            EXPECT_TRUE(m_client.RunDataCommand(source, nsFTP::DC_STOR, strPath, kImage, GetParam().fPassive));
            return;
        }
        auto pData = m_client.OpenTransfer(strPath, GetParam().fPassive, true);
        ASSERT_TRUE(pData);
        for (size_t nPos = 0; nPos < strData.size(); nPos += 1024)
        {
            const int nBlock = static_cast<int>(std::min<size_t>(1024, strData.size() - nPos));
            int nSent = 0;
            ASSERT_TRUE(m_client.WriteTransfer(*pData, strData.data() + nPos, nBlock, nSent));
            EXPECT_EQ(nSent, nBlock);
        }
        EXPECT_TRUE(m_client.CloseTransfer(std::move(pData)));
    }

    CReportRecorder m_report;
    CPyFtpServer m_server;
    CTestClient m_client;
};

TEST_P(RealTransfer, FilesOfEverySizeArriveIntact)
{
    const std::vector<std::string> vContents = {"",
                                                "x",
                                                Contents(1023, 1),
                                                Contents(1024, 2),
                                                Contents(1025, 3),
                                                AllByteValues(),
                                                Contents(3 * 1024 * 1024 + 7, 4)};
    for (size_t i = 0; i < vContents.size(); ++i)
    {
        const std::string strName = "up" + std::to_string(i) + ".bin";
        Upload(L"/" + std::wstring(strName.begin(), strName.end()), vContents[i]);
        EXPECT_EQ(m_server.ReadFile(strName), vContents[i]) << "upload of " << vContents[i].size() << " bytes";

        const std::string strDown = "down" + std::to_string(i) + ".bin";
        m_server.WriteFile(strDown, vContents[i]);
        EXPECT_EQ(Download(L"/" + std::wstring(strDown.begin(), strDown.end())), vContents[i])
            << "download of " << vContents[i].size() << " bytes";
    }
    EXPECT_TRUE(m_report.Errors().empty());
    EXPECT_FALSE(m_client.IsTransferRunning());
}

TEST_P(RealTransfer, ListsAFolder)
{
    m_server.WriteFile("pub/readme.txt", "hello");
    m_server.MakeFolder("pub/sub");
    nsFTP::TFileStatusSequence vEntries;
    ASSERT_TRUE(m_client.ListDirectory(L"/pub", vEntries, GetParam().fPassive));
    std::vector<std::wstring> vNames;
    for (const auto& p : vEntries)
    {
        vNames.push_back(p->m_strName);
        EXPECT_EQ(p->m_strPath, L"/pub");
    }
    std::sort(vNames.begin(), vNames.end());
    ASSERT_EQ(vNames, (std::vector<std::wstring>{L"readme.txt", L"sub"}));
    for (const auto& p : vEntries)
    {
        const bool fFolder = p->m_strName == L"sub";
        EXPECT_EQ(p->m_fIsDirectory, fFolder);
        EXPECT_EQ(p->m_fIsFile, !fFolder);
        if (!fFolder)
        {
            EXPECT_EQ(p->m_nSize, 5);
        }
        EXPECT_NE(p->m_tModified, 0);
    }
    // A listing after a download switches the type back.
    m_server.WriteFile("pub/b.bin", "b");
    EXPECT_EQ(Download(L"/pub/b.bin"), "b");
    ASSERT_TRUE(m_client.ListDirectory(L"/pub", vEntries, GetParam().fPassive));
    EXPECT_EQ(vEntries.size(), 3u);
    EXPECT_TRUE(m_report.Errors().empty()) << std::string(m_report.Errors()[0].begin(), m_report.Errors()[0].end());
}

INSTANTIATE_TEST_SUITE_P(Modes, RealTransfer,
                         ::testing::Values(Mode{true, false}, Mode{true, true}, Mode{false, false}, Mode{false, true}),
                         [](const auto& info)
                         {
                             return std::string(info.param.fPassive ? "Passive" : "Active") +
                                    (info.param.fOpenInterface ? "OpenInterface" : "ClosedLoop");
                         });

} // namespace
