// Listing records, the shared pointers that carry them, and the engine's small text helpers.

#include "fixtures/ReportRecorder.h"
#include "ftp/FTPFileStatus.h"
#include "ftp/RCIPtr.h"
#include "ftp/TextHelpers.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace
{

using nsFTP::CFTPFileStatus;
using nsSP::RCIPtr;

// Counts its deletions, so a test can see exactly when the last pointer lets go.
class CTracked
{
public:
    explicit CTracked(int& nDeleted, int nValue = 0) : m_pnDeleted(&nDeleted), m_nValue(nValue) {}
    ~CTracked() { ++*m_pnDeleted; }
    CTracked(const CTracked&) = delete;
    CTracked& operator=(const CTracked&) = delete;

    int* m_pnDeleted;
    int m_nValue;
};

TEST(RCIPtr, ListingCopyOutlivesTheOriginal)
{
    int nDeleted = 0;
    auto pCopy = std::make_unique<std::vector<RCIPtr<CTracked>>>();
    {
        std::vector<RCIPtr<CTracked>> vListing;
        for (int i = 0; i < 3; ++i)
            vListing.push_back(nsSP::MakeRCIPtr<CTracked>(nDeleted, i));
        *pCopy = vListing;
        EXPECT_EQ(2, vListing[0].GetRefCount());
    }
    EXPECT_EQ(0, nDeleted);
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(i, (*pCopy)[i]->m_nValue);
        EXPECT_EQ(1, (*pCopy)[i].GetRefCount());
    }
    pCopy.reset();
    EXPECT_EQ(3, nDeleted);
}

TEST(RCIPtr, AssignmentReleasesTheOldObject)
{
    int nDeletedA = 0, nDeletedB = 0;
    RCIPtr<CTracked> pA(std::make_unique<CTracked>(nDeletedA, 1));
    RCIPtr<CTracked> pB(std::make_unique<CTracked>(nDeletedB, 2));
    RCIPtr<CTracked> pA2 = pA;

    pA = pB; // A still has pA2
    EXPECT_EQ(0, nDeletedA);
    EXPECT_EQ(2, pA->m_nValue);
    EXPECT_EQ(2, pB.GetRefCount());

    pA2 = pB; // the last pointer to A goes
    EXPECT_EQ(1, nDeletedA);
    EXPECT_EQ(3, pB.GetRefCount());

    pA = pA2; // same holder: nothing changes
    EXPECT_EQ(3, pB.GetRefCount());
    EXPECT_EQ(0, nDeletedB);
}

TEST(RCIPtr, SelfAssignmentKeepsTheObject)
{
    int nDeleted = 0;
    RCIPtr<CTracked> p(std::make_unique<CTracked>(nDeleted, 5));
    RCIPtr<CTracked>& rSame = p;
    p = rSame;
    EXPECT_EQ(0, nDeleted);
    EXPECT_EQ(1, p.GetRefCount());
    EXPECT_EQ(5, (*p).m_nValue);
    p = std::move(rSame);
    EXPECT_EQ(0, nDeleted);
    EXPECT_EQ(5, p->m_nValue);
}

TEST(RCIPtr, AssigningFromAPointerTheOldObjectOwns)
{
    // The right-hand side lives inside the object being released: the new reference must be taken first.
    struct CNode
    {
        RCIPtr<CNode> m_pNext;
        int m_nValue = 0;
    };
    RCIPtr<CNode> pHead = nsSP::MakeRCIPtr<CNode>();
    pHead->m_pNext = nsSP::MakeRCIPtr<CNode>();
    pHead->m_pNext->m_nValue = 9;
    pHead = pHead->m_pNext;
    ASSERT_TRUE(pHead);
    EXPECT_EQ(9, pHead->m_nValue);
    EXPECT_EQ(1, pHead.GetRefCount());
}

TEST(RCIPtr, MoveAndEmptyPointers)
{
    int nDeleted = 0;
    RCIPtr<CTracked> pEmpty;
    EXPECT_FALSE(pEmpty);
    EXPECT_EQ(nullptr, pEmpty.get());
    EXPECT_EQ(0, pEmpty.GetRefCount());
    EXPECT_FALSE(RCIPtr<CTracked>(std::unique_ptr<CTracked>()));

    RCIPtr<CTracked> p(std::make_unique<CTracked>(nDeleted));
    RCIPtr<CTracked> pMoved = std::move(p);
    EXPECT_FALSE(p);
    EXPECT_EQ(1, pMoved.GetRefCount());
    pMoved = pEmpty; // assigning an empty pointer releases the object
    EXPECT_EQ(1, nDeleted);
    EXPECT_FALSE(pMoved);
}

TEST(FTPFileStatus, ClearAndCopy)
{
    CFTPFileStatus status;
    status.m_strName = L"a";
    status.m_strPath = L"/p";
    status.m_fIsDirectory = status.m_fIsFile = true;
    status.m_nSizeKnown = status.m_nIdKnown = 1;
    status.m_nSize = 5368709120;
    status.m_tModified = 4102444800;
    status.m_strAttributes = status.m_strOwner = status.m_strGroup = status.m_strLinks = status.m_strId = L"x";

    const CFTPFileStatus copy = status;
    EXPECT_EQ(5368709120, copy.m_nSize);
    EXPECT_EQ(status, copy);

    status.Clear();
    EXPECT_EQ(CFTPFileStatus{}, status);
}

struct CSizeCase
{
    std::int64_t nBytes;
    const wchar_t* pszText;
};

TEST(FormatSizeText, Thresholds)
{
    constexpr std::int64_t nGiB = 1024LL * 1024 * 1024;
    const std::vector<CSizeCase> vCases = {
        {0, L""},
        {1, L"1 B"},
        {512, L"512 B"},
        {1023, L"1023 B"},
        {1024, L"1.00 Kb"},
        {1536, L"1.50 Kb"},
        {1048575, L"1024.00 Kb"},
        {1048576, L"1.00 Mb"},
        {5242880, L"5.00 Mb"},
        {4294967294, L"4096.00 Mb"},
        {4294967295, L""}, // all bits set in 32 bits: the old "unknown"
        {-1, L""},
        {-5, L""},
        {4 * nGiB, L"4.00 Gb"},
        {5 * nGiB, L"5.00 Gb"},
        {5 * nGiB + nGiB / 4, L"5.25 Gb"},
    };
    for (const CSizeCase& c : vCases)
        EXPECT_EQ(c.pszText, FormatSizeText(c.nBytes)) << c.nBytes;
}

TEST(FormatSizeText, DecimalPointIgnoresTheLocale)
{
    const std::string strOld = std::setlocale(LC_NUMERIC, nullptr);
    const char* pszComma = nullptr;
    for (const char* pszName : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE"})
        if (std::setlocale(LC_NUMERIC, pszName))
        {
            pszComma = pszName;
            break;
        }
    if (!pszComma) GTEST_SKIP() << "no locale with a decimal comma is installed";
    const std::wstring strText = FormatSizeText(1536);
    std::setlocale(LC_NUMERIC, strOld.c_str());
    EXPECT_EQ(L"1.50 Kb", strText) << pszComma;
}

struct CJoinCase
{
    const wchar_t* pszFolder;
    const wchar_t* pszName;
    const wchar_t* pszRemote;
    const wchar_t* pszLocal;
};

TEST(JoinPath, RemoteAndLocal)
{
    const std::vector<CJoinCase> vCases = {
        {L"/pub/", L"a.txt", L"/pub/a.txt", L"/pub/a.txt"},
        {L"/pub", L"a.txt", L"/pub/a.txt", L"/pub/a.txt"},
        {L"C:\\temp\\", L"a", L"C:\\temp\\a", L"C:\\temp\\a"},
        {L"", L"a.txt", L"/a.txt", L"/a.txt"},
        {L"/", L"a", L"/a", L"/a"},
        {L"/pub", L"/a", L"/pub//a", L"/pub//a"}, // a leading separator of the name stays
        {L"/pub", L"", L"/pub/", L"/pub/"},
        {L"/home/ann", L"caf\u00e9", L"/home/ann/caf\u00e9", L"/home/ann/caf\u00e9"},
    };
    for (const CJoinCase& c : vCases)
    {
        EXPECT_EQ(c.pszRemote, JoinRemotePath(c.pszFolder, c.pszName)) << "remote";
        EXPECT_EQ(c.pszLocal, JoinLocalPath(std::wstring(c.pszFolder), std::wstring(c.pszName))) << "local";
    }
    EXPECT_EQ("/home/ann/caf\xc3\xa9", JoinLocalPath(std::string("/home/ann"), std::string("caf\xc3\xa9")));
    EXPECT_EQ("C:\\t\\a", JoinLocalPath(std::string("C:\\t\\"), std::string("a")));
}

TEST(ShowSystemError, ReportsCodeSystemTextAndContext)
{
    nsTest::CReportRecorder recorder;
    errno = ENOENT;
    ShowSystemError(L"/tmp/caf\u00e9.txt");
    EXPECT_EQ(ENOENT, errno);

    errno = EACCES;
    ShowSystemError(L"");

    const std::vector<std::wstring> vErrors = recorder.Errors();
    ASSERT_EQ(2u, vErrors.size());
    // The tests run in the "C" locale, whose messages are the untranslated glibc ones.
    EXPECT_EQ(L"Error code: 2\nNo such file or directory\n/tmp/caf\u00e9.txt", vErrors[0]);
    EXPECT_EQ(L"Error code: 13\nPermission denied\n", vErrors[1]);
}

} // namespace
