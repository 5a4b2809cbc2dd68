// Listing lines of every layout, as servers write them, against the records they must give. Dates are checked
// in zones set here, with epoch values worked out independently of the code under test.

#include "ftp/ListParser.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace
{

using nsFTP::CFTPFileStatus;

// Every test passes this year, so "h:mm" entries do not depend on the day the tests run.
constexpr int kYear = 2023;

// Sets the process's time zone for the life of the object and puts the old one back afterwards.
class CTimeZone
{
public:
    explicit CTimeZone(const char* pszZone)
    {
        if (const char* pszOld = std::getenv("TZ")) m_strOld = pszOld;
        setenv("TZ", pszZone, 1);
        tzset();
    }
    ~CTimeZone()
    {
        if (m_strOld)
            setenv("TZ", m_strOld->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    CTimeZone(const CTimeZone&) = delete;
    CTimeZone& operator=(const CTimeZone&) = delete;

private:
    std::optional<std::string> m_strOld;
};

enum EKind
{
    kNeither,
    kFile,
    kDir,
    kBoth
};

// A record with only the fields a case cares about; everything else must be cleared.
struct CExpected
{
    // Every member has an initialiser, so a case names only what it checks.
    std::wstring strName{};
    EKind nKind = kNeither;
    int nSizeKnown = 0;
    std::int64_t nSize = 0;
    std::int64_t tModified = 0;
    std::wstring strAttributes{};
    std::wstring strOwner{};
    std::wstring strGroup{};
    std::wstring strLinks{};
    int nIdKnown = 0;
    std::wstring strId{};
};

struct CParseCase
{
    const char* pszLabel;
    std::wstring strLine;
    std::optional<CExpected> expected; // none: rejected
};

void PrintTo(const CParseCase& c, std::ostream* pOut)
{
    *pOut << c.pszLabel;
}

CFTPFileStatus ToRecord(const CExpected& e)
{
    CFTPFileStatus s;
    s.m_strName = e.strName;
    s.m_fIsDirectory = e.nKind == kDir || e.nKind == kBoth;
    s.m_fIsFile = e.nKind == kFile || e.nKind == kBoth;
    s.m_nSizeKnown = e.nSizeKnown;
    s.m_nSize = e.nSize;
    s.m_tModified = e.tModified;
    s.m_strAttributes = e.strAttributes;
    s.m_strOwner = e.strOwner;
    s.m_strGroup = e.strGroup;
    s.m_strLinks = e.strLinks;
    s.m_nIdKnown = e.nIdKnown;
    s.m_strId = e.strId;
    return s;
}

void ExpectSame(const CFTPFileStatus& want, const CFTPFileStatus& got)
{
    EXPECT_EQ(want.m_strName, got.m_strName);
    EXPECT_EQ(want.m_strPath, got.m_strPath);
    EXPECT_EQ(want.m_fIsDirectory, got.m_fIsDirectory);
    EXPECT_EQ(want.m_fIsFile, got.m_fIsFile);
    EXPECT_EQ(want.m_nSizeKnown, got.m_nSizeKnown);
    EXPECT_EQ(want.m_nSize, got.m_nSize);
    EXPECT_EQ(want.m_tModified, got.m_tModified);
    EXPECT_EQ(want.m_strAttributes, got.m_strAttributes);
    EXPECT_EQ(want.m_strOwner, got.m_strOwner);
    EXPECT_EQ(want.m_strGroup, got.m_strGroup);
    EXPECT_EQ(want.m_strLinks, got.m_strLinks);
    EXPECT_EQ(want.m_nIdKnown, got.m_nIdKnown);
    EXPECT_EQ(want.m_strId, got.m_strId);
}

// A record full of leftovers, to show that every parse starts from a cleared one.
CFTPFileStatus DirtyRecord()
{
    CFTPFileStatus s;
    s.m_strName = L"left";
    s.m_strPath = L"/over";
    s.m_fIsDirectory = s.m_fIsFile = true;
    s.m_nSizeKnown = 1;
    s.m_nSize = 77;
    s.m_tModified = 1234;
    s.m_strAttributes = s.m_strOwner = s.m_strGroup = s.m_strLinks = s.m_strId = L"x";
    s.m_nIdKnown = 1;
    return s;
}

// Shorthand for the many UNIX cases: kind, size, time, attributes, owner, group, links.
CExpected Unix(std::wstring strName, EKind nKind, std::int64_t nSize, std::int64_t tModified,
               std::wstring strAttributes, std::wstring strOwner, std::wstring strGroup, std::wstring strLinks)
{
    return {std::move(strName),
            nKind,
            1,
            nSize,
            tModified,
            std::move(strAttributes),
            std::move(strOwner),
            std::move(strGroup),
            std::move(strLinks)};
}

const std::wstring kRw = L"-rw-r--r--";

// Epoch values for Europe/Berlin, from the zone database (CET +1, CEST +2 from the last Sunday of March).
constexpr std::int64_t kMar05_1407 = 1678021620; // 2023-03-05 13:07 UTC
constexpr std::int64_t kMar05_0907 = 1678003620;
constexpr std::int64_t kJul15_0930 = 1689406200; // 2023-07-15 07:30 UTC, summer time
constexpr std::int64_t kDec31_2359 = 1704063540;
constexpr std::int64_t kJan16_1853 = 1673891580;
constexpr std::int64_t kMar03_1000 = 1677834000;
constexpr std::int64_t k2020Jan10 = 1578610800;
constexpr std::int64_t k2001Jan01 = 978303600;
constexpr std::int64_t k1900Jan01 = -2208992400;
constexpr std::int64_t kVmsSep08 = 842191740; // 1996-09-08 16:09 CEST
constexpr std::int64_t kVmsDec30 = 851964240; // 1996-12-30 17:44 CET
constexpr std::int64_t kDos2109 = 956862540;  // 2000-04-27 21:09 CEST
constexpr std::int64_t kDos0005 = 956786700;
constexpr std::int64_t kDos1205 = 956829900;
constexpr std::int64_t kDos1999 = 925196940;  // 1999-04-27 09:09
constexpr std::int64_t kDos2049 = 2503120140; // 2049-04-27 09:09

const std::vector<CParseCase> kCases = {
    // UNIX, the classic layout and its variants.
    {"UnixOwnerAndGroup", L"-rw-r--r--   1 ann      staff        4096 Mar  5 14:07 notes.txt",
     Unix(L"notes.txt", kFile, 4096, kMar05_1407, kRw, L"ann", L"staff", L"1")},
    {"UnixNoGroup", L"-rw-r--r--   1 ann          4096 Mar  5 14:07 notes.txt",
     Unix(L"notes.txt", kFile, 4096, kMar05_1407, kRw, L"ann", L"", L"1")},
    {"UnixFolderWordNoOwner", L"drwxrwxrwx   folder        2 Mar  5 14:07 pub",
     Unix(L"pub", kDir, 2, kMar05_1407, L"drwxrwxrwx", L"", L"", L"folder")},
    {"UnixSixLetterWordNotStartingWithF", L"drwxrwxrwx   golder  ann   2 Mar  5 14:07 pub",
     Unix(L"pub", kDir, 2, kMar05_1407, L"drwxrwxrwx", L"ann", L"", L"golder")},
    {"UnixLinkKeepsTarget", L"lrwxrwxrwx   1 root     root            7 Jan 10  2020 bin -> usr/bin",
     Unix(L"bin -> usr/bin", kBoth, 7, k2020Jan10, L"lrwxrwxrwx", L"root", L"root", L"1")},
    {"UnixYearGivesMidnight", L"drwxr-xr-x   2 ann      ann          4096 Jan  1  2001 old",
     Unix(L"old", kDir, 4096, k2001Jan01, L"drwxr-xr-x", L"ann", L"ann", L"2")},
    {"UnixShortTime", L"-rw-r--r-- 1 ann ann 5 mar 05 9:07 x",
     Unix(L"x", kFile, 5, kMar05_0907, kRw, L"ann", L"ann", L"1")},
    {"UnixFutureTimeStaysInCurrentYear", L"-rw-r--r-- 1 ann ann 5 DEC 31 23:59 x",
     Unix(L"x", kFile, 5, kDec31_2359, kRw, L"ann", L"ann", L"1")},
    {"UnixSizeNotANumber", L"-rw-r--r-- 1 ann ann big Mar 05 14:07 x",
     Unix(L"x", kFile, -1, kMar05_1407, kRw, L"ann", L"ann", L"1")},
    {"UnixDeviceTakesLastNumberBeforeMonth", L"crw-rw-rw-   1 root     root       1,   3 Mar  5 14:07 null",
     Unix(L"null", kNeither, 3, kMar05_1407, L"crw-rw-rw-", L"root", L"root", L"1")},
    {"UnixSignedAndBlankNumbers", L"-rw-r--r-- 1 ann ann +12 Mar \t+5 14:07 x",
     Unix(L"x", kFile, 12, kMar05_1407, kRw, L"ann", L"ann", L"1")},
    {"UnixSize64Bit", L"-rw-r--r-- 1 ann ann 5368709120 Mar 05 14:07 dvd.iso",
     Unix(L"dvd.iso", kFile, 5368709120, kMar05_1407, kRw, L"ann", L"ann", L"1")},
    {"UnixNameKeepsInnerAndLeadingSpaces", L"-rw-r--r-- 1 ann ann 5 Mar 05 14:07  two  spaces ",
     Unix(L" two  spaces ", kFile, 5, kMar05_1407, kRw, L"ann", L"ann", L"1")},
    {"UnixLatin1NameSurvives", L"-rw-r--r-- 1 ann ann 5 Mar 05 14:07 caf\u00e9.txt",
     Unix(L"caf\u00e9.txt", kFile, 5, kMar05_1407, kRw, L"ann", L"ann", L"1")},
    {"UnixEmptyNameAfterFinalSpace", L"-rw-r--r-- 1 ann ann 5 Mar 05 14:07 ",
     Unix(L"", kFile, 5, kMar05_1407, kRw, L"ann", L"ann", L"1")},
    {"UnixFeb31RollsOver", L"-rw-r--r-- 1 ann ann 5 Feb 31 10:00 x",
     Unix(L"x", kFile, 5, kMar03_1000, kRw, L"ann", L"ann", L"1")},
    {"Unix1900IsInRange", L"-rw-r--r-- 1 ann ann 5 Jan 01  1900 x",
     Unix(L"x", kFile, 5, k1900Jan01, kRw, L"ann", L"ann", L"1")},

    // The three-space rule: only when the second character is a space or "[".
    {"UnixNetWareDropsThreeSpaces", L"d [R----F--] supervisor            512       Jan 16 18:53    login",
     Unix(L"login", kDir, 512, kJan16_1853, L"d", L"supervisor", L"", L"[R----F--]")},
    {"UnixBracketDropsThreeSpaces", L"-[RWCEAFMS] 1 supervisor 1024 Jan 16 18:53    readme",
     Unix(L"readme", kFile, 1024, kJan16_1853, L"-[RWCEAFMS]", L"supervisor", L"", L"1")},
    {"UnixOtherLinesKeepThreeSpaces", L"-rw-r--r-- 1 ann ann 5 Jan 16 18:53    x",
     Unix(L"   x", kFile, 5, kJan16_1853, kRw, L"ann", L"ann", L"1")},
    {"UnixThreeSpacesAloneAreKept", L"d [R----F--] supervisor 512 Jan 16 18:53    ",
     Unix(L"   ", kDir, 512, kJan16_1853, L"d", L"supervisor", L"", L"[R----F--]")},

    // Dates out of range keep the entry without a date.
    {"UnixDay32", L"-rw-r--r-- 1 ann ann 5 Mar 32 14:07 x", Unix(L"x", kFile, 5, 0, kRw, L"ann", L"ann", L"1")},
    {"UnixDay0", L"-rw-r--r-- 1 ann ann 5 Mar 0 14:07 x", Unix(L"x", kFile, 5, 0, kRw, L"ann", L"ann", L"1")},
    {"UnixDayNotANumber", L"-rw-r--r-- 1 ann ann 5 Mar x5 14:07 x", Unix(L"x", kFile, 5, 0, kRw, L"ann", L"ann", L"1")},
    {"UnixHour24", L"-rw-r--r-- 1 ann ann 5 Mar 05 24:00 x", Unix(L"x", kFile, 5, 0, kRw, L"ann", L"ann", L"1")},
    {"UnixMinute60", L"-rw-r--r-- 1 ann ann 5 Mar 05 12:60 x", Unix(L"x", kFile, 5, 0, kRw, L"ann", L"ann", L"1")},
    {"UnixNegativeHour", L"-rw-r--r-- 1 ann ann 5 Mar 05 -1:30 x", Unix(L"x", kFile, 5, 0, kRw, L"ann", L"ann", L"1")},
    {"UnixYear1899", L"-rw-r--r-- 1 ann ann 5 Mar 05  1899 x", Unix(L"x", kFile, 5, 0, kRw, L"ann", L"ann", L"1")},
    {"UnixYearNotANumber", L"-rw-r--r-- 1 ann ann 5 Mar 05 20x1 x", Unix(L"x", kFile, 5, 0, kRw, L"ann", L"ann", L"1")},
    {"UnixYearBeyondAnyCalendar", L"-rw-r--r-- 1 ann ann 5 Mar 05 99999999999999999999 x",
     Unix(L"x", kFile, 5, 0, kRw, L"ann", L"ann", L"1")},

    // UNIX rejections.
    {"UnixEndsOnTime", L"-rw-r--r--   1 ann      ann          4096 Mar  5 14:07", std::nullopt},
    {"UnixYearTooShort", L"-rw-r--r-- 1 ann ann 5 Mar 05 201 x", std::nullopt},
    {"UnixNoMonth", L"-rw-r--r-- 1 ann ann 5 6 7 8 9 x", std::nullopt},
    {"UnixTooFewColumns", L"drwxr-xr-x 2", std::nullopt},

    // pyftpdlib, as it answers LIST: recent files with a time, older ones with a year.
    {"PyftpdlibRecent", L"-rw-r--r--   1 ann      ann          1024 Mar 05 14:07 notes.txt",
     Unix(L"notes.txt", kFile, 1024, kMar05_1407, kRw, L"ann", L"ann", L"1")},
    {"PyftpdlibSummer", L"-rw-r--r--   1 ann      ann           512 Jul 15 09:30 summer.txt",
     Unix(L"summer.txt", kFile, 512, kJul15_0930, kRw, L"ann", L"ann", L"1")},
    {"PyftpdlibOld", L"drwxr-xr-x   2 ann      ann          4096 Jan 01  2001 old",
     Unix(L"old", kDir, 4096, k2001Jan01, L"drwxr-xr-x", L"ann", L"ann", L"2")},
    {"PyftpdlibNameWithSpaces", L"-rw-r--r--   1 ann      ann             0 Mar 05 14:07 my file.txt",
     Unix(L"my file.txt", kFile, 0, kMar05_1407, kRw, L"ann", L"ann", L"1")},
    {"PyftpdlibLink", L"lrwxrwxrwx   1 ann      ann             9 Mar 05 14:07 latest -> notes.txt",
     Unix(L"latest -> notes.txt", kBoth, 9, kMar05_1407, L"lrwxrwxrwx", L"ann", L"ann", L"1")},

    // EPLF.
    {"EplfFile", L"+s280,r,m86400,i42,\ta.html",
     CExpected{.strName = L"a.html",
               .nKind = kFile,
               .nSizeKnown = 1,
               .nSize = 280,
               .tModified = 86400,
               .nIdKnown = 1,
               .strId = L"42"}},
    {"EplfDirectory", L"+/,\tpub", CExpected{.strName = L"pub", .nKind = kDir}},
    {"EplfReal", L"+i8388621.48594,m825718503,r,s280,\tdjb.html",
     CExpected{.strName = L"djb.html",
               .nKind = kFile,
               .nSizeKnown = 1,
               .nSize = 280,
               .tModified = 825718503,
               .nIdKnown = 1,
               .strId = L"8388621.48594"}},
    {"EplfFactCutByTabIgnored", L"+r,s99\tx", CExpected{.strName = L"x", .nKind = kFile}},
    {"EplfUnknownAndEmptyFactsIgnored", L"+up755,,/,\tdir", CExpected{.strName = L"dir", .nKind = kDir}},
    {"EplfSizeNotANumber", L"+s12k,\tx", CExpected{.strName = L"x", .nKind = kNeither, .nSizeKnown = 1, .nSize = 0}},
    {"EplfSize64Bit", L"+s5368709120,r,\tdvd.iso",
     CExpected{.strName = L"dvd.iso", .nKind = kFile, .nSizeKnown = 1, .nSize = 5368709120}},
    {"EplfTimeAfter2038", L"+m4102444800,r,\tfuture",
     CExpected{.strName = L"future", .nKind = kFile, .tModified = 4102444800}},
    {"EplfNameKeepsSpacesAndTabs", L"+r,\t a\tb ", CExpected{.strName = L" a\tb ", .nKind = kFile}},
    {"EplfNoTab", L"+s280,r,m86400,i42,a.html", std::nullopt},

    // VMS.
    {"VmsDirectory", L"CORE.DIR;1      1  8-SEP-1996 16:09 [SYSTEM] (RWE,RWE,RE,RE)",
     CExpected{.strName = L"CORE", .nKind = kDir, .tModified = kVmsSep08}},
    {"VmsFile", L"00README.TXT;1      2 30-DEC-1996 17:44 [SYSTEM] (RWED,RWED,RE,RE)",
     CExpected{.strName = L"00README.TXT", .nKind = kFile, .tModified = kVmsDec30}},
    {"VmsDirSuffixIsCaseSensitive", L"Core.dir;1 1 30-DEC-1996 17:44 [SYSTEM]",
     CExpected{.strName = L"Core.dir", .nKind = kFile, .tModified = kVmsDec30}},
    // No fall-back: a first letter of the UNIX set decides, and the UNIX rules find no month.
    {"VmsNameStartingWithUnixLetter", L"core.dir;1 1 30-DEC-1996 17:44 [SYSTEM]", std::nullopt},
    {"VmsBareDirSuffixIsAFile", L".DIR;1 1 30-DEC-1996 17:44 [SYSTEM]",
     CExpected{.strName = L".DIR", .nKind = kFile, .tModified = kVmsDec30}},
    {"VmsSecondsAfterMinute", L"A.B;3 12/14 30-DEC-1996 17:44:12 [SYSTEM]",
     CExpected{.strName = L"A.B", .nKind = kFile, .tModified = kVmsDec30}},
    {"VmsDay40KeptWithoutDate", L"A.B;3 1 40-DEC-1996 17:44 [SYSTEM]", CExpected{.strName = L"A.B", .nKind = kFile}},
    {"VmsBadMonth", L"CORE.DIR;1 1 8-SEX-1996 16:09 [SYSTEM]", std::nullopt},
    {"VmsEndsOnTime", L"CORE.DIR;1 1 8-SEP-1996 16:09", std::nullopt},
    {"VmsNameOnly", L"CORE.DIR;1", std::nullopt},
    // No fall-back: a semicolon sends an MS-DOS line to the VMS rules, which find no size column after it.
    {"DosWithSemicolonIsVms", L"04-27-00  09:09PM       <DIR>          a;b", std::nullopt},

    // MS-DOS.
    {"DosDirectory", L"04-27-00  09:09PM       <DIR>          pub",
     CExpected{.strName = L"pub", .nKind = kDir, .tModified = kDos2109}},
    {"DosMidnightHour", L"04-27-00  12:05AM                 1234 a.txt",
     CExpected{.strName = L"a.txt", .nKind = kFile, .nSizeKnown = 1, .nSize = 1234, .tModified = kDos0005}},
    {"DosNoonHour", L"04-27-00  12:05PM                 1234 a.txt",
     CExpected{.strName = L"a.txt", .nKind = kFile, .nSizeKnown = 1, .nSize = 1234, .tModified = kDos1205}},
    {"DosYear99", L"04-27-99  09:09AM  1 x",
     CExpected{.strName = L"x", .nKind = kFile, .nSizeKnown = 1, .nSize = 1, .tModified = kDos1999}},
    {"DosYear49", L"04-27-49  09:09AM  1 x",
     CExpected{.strName = L"x", .nKind = kFile, .nSizeKnown = 1, .nSize = 1, .tModified = kDos2049}},
    {"DosFourDigitYear", L"04-27-2000  09:09PM  1 x",
     CExpected{.strName = L"x", .nKind = kFile, .nSizeKnown = 1, .nSize = 1, .tModified = kDos2109}},
    {"DosSizeNotANumber", L"04-27-00  09:09PM  1,234 x",
     CExpected{.strName = L"x", .nKind = kFile, .nSizeKnown = 1, .nSize = 0, .tModified = kDos2109}},
    {"DosSize64Bit", L"04-27-00  09:09PM  5368709120 dvd.iso",
     CExpected{.strName = L"dvd.iso", .nKind = kFile, .nSizeKnown = 1, .nSize = 5368709120, .tModified = kDos2109}},
    {"DosNameWithSpaces", L"04-27-00  09:09PM       <DIR>          My Documents",
     CExpected{.strName = L"My Documents", .nKind = kDir, .tModified = kDos2109}},
    {"DosMonth13KeptWithoutDate", L"13-27-00  09:09PM  1 x",
     CExpected{.strName = L"x", .nKind = kFile, .nSizeKnown = 1, .nSize = 1, .tModified = 0}},
    {"Dos13PmKeptWithoutDate", L"04-27-00  13:09PM  1 x",
     CExpected{.strName = L"x", .nKind = kFile, .nSizeKnown = 1, .nSize = 1, .tModified = 0}},
    {"Dos24HourTime", L"04-27-00  21:09       <DIR>          pub", std::nullopt},
    {"Dos24HourTimeWithPInName", L"04-27-00  21:09       <DIR>          Pub", std::nullopt},
    {"DosNoName", L"04-27-00  09:09PM       <DIR>", std::nullopt},
    {"DosDateOnly", L"04-27-00", std::nullopt},

    // Lines of no known layout.
    {"TotalHeader", L"total 12", std::nullopt},
    {"Empty", L"", std::nullopt},
    {"OneCharacter", L"-", std::nullopt},
    {"LeadingBlank", L" -rw-r--r-- 1 ann ann 5 Mar 05 14:07 x", std::nullopt},
    {"Prose", L"Directory listing follows", std::nullopt},
};

class ListParserTest : public ::testing::TestWithParam<CParseCase>
{
protected:
    CTimeZone m_zone{"Europe/Berlin"};
};

TEST_P(ListParserTest, GivesTheRecord)
{
    const CParseCase& c = GetParam();
    CFTPFileStatus status = DirtyRecord();
    const bool fAccepted = nsFTP::ParseListLine(c.strLine, status, kYear);
    ASSERT_EQ(c.expected.has_value(), fAccepted);
    // A rejected line leaves a cleared record behind.
    ExpectSame(c.expected ? ToRecord(*c.expected) : CFTPFileStatus{}, status);
}

INSTANTIATE_TEST_SUITE_P(Lines, ListParserTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<CParseCase>& info) { return info.param.pszLabel; });

// The same local times in zones on either side of UTC and of the equator, winter and summer, so that a
// conversion as UTC, or with a fixed daylight-saving guess, shows.
struct CZoneCase
{
    const char* pszZone;
    std::wstring strLine;
    std::int64_t tModified;
};

TEST(ListParserZones, LocalTimeOfTheComputer)
{
    const std::vector<CZoneCase> vCases = {
        {"America/New_York", L"-rw-r--r-- 1 ann ann 5 Mar 05 14:07 x", 1678043220},
        {"America/New_York", L"-rw-r--r-- 1 ann ann 5 Jul 15 09:30 x", 1689427800},
        {"America/New_York", L"04-27-00  09:09PM  1 x", 956884140},
        {"America/New_York", L"CORE.DIR;1 1 8-SEP-1996 16:09 [SYSTEM]", 842213340},
        {"Australia/Sydney", L"-rw-r--r-- 1 ann ann 5 Mar 05 14:07 x", 1677985620},
        {"Australia/Sydney", L"-rw-r--r-- 1 ann ann 5 Jul 15 09:30 x", 1689377400},
        {"Australia/Sydney", L"drwxr-xr-x 2 ann ann 4096 Jan 01  2001 old", 978267600},
        {"UTC", L"-rw-r--r-- 1 ann ann 5 Mar 05 14:07 x", 1678025220},
    };
    for (const CZoneCase& c : vCases)
    {
        SCOPED_TRACE(c.pszZone);
        CTimeZone zone(c.pszZone);
        CFTPFileStatus status;
        ASSERT_TRUE(nsFTP::ParseListLine(c.strLine, status, kYear)) << c.strLine;
        EXPECT_EQ(c.tModified, status.m_tModified) << c.strLine;
    }
}

TEST(ListParserZones, CurrentYearDatesTimeEntries)
{
    CTimeZone zone("UTC");
    CFTPFileStatus status;
    ASSERT_TRUE(nsFTP::ParseListLine(L"-rw-r--r-- 1 ann ann 5 Mar 05 14:07 x", status, 2024));
    EXPECT_EQ(1709647620, status.m_tModified); // 2024-03-05 14:07 UTC
    ASSERT_TRUE(nsFTP::ParseListLine(L"-rw-r--r-- 1 ann ann 5 Mar 05  2001 x", status, 2024));
    EXPECT_EQ(983750400, status.m_tModified); // the year column wins over the current year
}

} // namespace
