#include "platform/FileTime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>

namespace
{

constexpr std::uint64_t kTicks1970 = 116'444'736'000'000'000;

SYSTEMTIME Fields(int nYear, int nMonth, int nDayOfWeek, int nDay, int nHour, int nMinute, int nSecond,
                  int nMilliseconds = 0)
{
    return SYSTEMTIME{static_cast<std::uint16_t>(nYear),      static_cast<std::uint16_t>(nMonth),
                      static_cast<std::uint16_t>(nDayOfWeek), static_cast<std::uint16_t>(nDay),
                      static_cast<std::uint16_t>(nHour),      static_cast<std::uint16_t>(nMinute),
                      static_cast<std::uint16_t>(nSecond),    static_cast<std::uint16_t>(nMilliseconds)};
}

std::string Text(const SYSTEMTIME& st)
{
    char sz[64];
    std::snprintf(sz, sizeof sz, "%04u-%02u-%02u (%u) %02u:%02u:%02u.%03u", st.wYear, st.wMonth, st.wDay, st.wDayOfWeek,
                  st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
    return sz;
}

TEST(FileTimeTest, KnownInstantsInUtc)
{
    const struct
    {
        std::uint64_t nTicks;
        std::int64_t nUnixSeconds;
        SYSTEMTIME st;
    } kCases[] = {
        {0, -11'644'473'600, Fields(1601, 1, 1, 1, 0, 0, 0)},
        {kTicks1970, 0, Fields(1970, 1, 4, 1, 0, 0, 0)},
        {kTicks1970 - 10'000'000, -1, Fields(1969, 12, 3, 31, 23, 59, 59)},
        {133'537'247'999'990'000, 1'709'251'199, Fields(2024, 2, 4, 29, 23, 59, 59, 999)},
        {134'180'516'960'000'000, 1'773'578'096, Fields(2026, 3, 0, 15, 12, 34, 56)},
    };
    for (const auto& c : kCases)
    {
        SCOPED_TRACE(Text(c.st));
        EXPECT_EQ(UnixSecondsFromFileTime(FILETIME{c.nTicks}), c.nUnixSeconds);
        EXPECT_EQ(FileTimeFromUnixSeconds(c.nUnixSeconds).nTicks, c.nTicks / 10'000'000 * 10'000'000);
        SYSTEMTIME st{};
        ASSERT_TRUE(FileTimeToSystemTime(FILETIME{c.nTicks}, st));
        EXPECT_EQ(Text(st), Text(c.st));
        FILETIME ft{};
        ASSERT_TRUE(SystemTimeToFileTime(c.st, ft));
        EXPECT_EQ(ft.nTicks, c.nTicks);
    }
}

TEST(FileTimeTest, SecondsRoundDownAndClampAtTheEndsOfTheRange)
{
    EXPECT_EQ(UnixSecondsFromFileTime(FILETIME{kTicks1970 + 9'999'999}), 0);
    EXPECT_EQ(UnixSecondsFromFileTime(FILETIME{kTicks1970 - 1}), -1);
    EXPECT_EQ(FileTimeFromUnixSeconds(-11'644'473'601).nTicks, 0u);
    EXPECT_EQ(FileTimeFromUnixSeconds(INT64_MIN).nTicks, 0u);
    EXPECT_EQ(FileTimeFromUnixSeconds(INT64_MAX).nTicks, kFileTimeMaxTicks);
    SYSTEMTIME st{};
    ASSERT_TRUE(FileTimeToSystemTime(FILETIME{kFileTimeMaxTicks}, st));
    EXPECT_EQ(st.wYear, 30828);
    EXPECT_FALSE(FileTimeToSystemTime(FILETIME{kFileTimeMaxTicks + 1}, st));
}

TEST(FileTimeTest, TimespecKeepsHundredsOfNanoseconds)
{
    EXPECT_EQ(FileTimeFromTimespec(timespec{1, 234'567'890}).nTicks, kTicks1970 + 12'345'678);
    EXPECT_EQ(FileTimeFromTimespec(timespec{-1, 500'000'000}).nTicks, kTicks1970 - 5'000'000);
    EXPECT_EQ(FileTimeFromTimespec(timespec{-11'644'473'600, 700}).nTicks, 7u); // the first instant

    // As stat reports a file's modification time.
    const auto path = std::filesystem::temp_directory_path() / ("ravelin-filetime-" + std::to_string(::getpid()));
    std::ofstream(path).put('x');
    const timespec times[2] = {{1'773'578'096, 123'456'700}, {1'773'578'096, 123'456'700}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    struct stat st
    {
    };
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    std::filesystem::remove(path);
    EXPECT_EQ(FileTimeFromTimespec(st.st_mtim).nTicks, 134'180'516'961'234'567u);
}

TEST(FileTimeTest, FieldsOutOfRangeAreRefused)
{
    const SYSTEMTIME kCases[] = {
        Fields(2026, 0, 0, 1, 0, 0, 0),   Fields(2026, 13, 0, 1, 0, 0, 0), Fields(2025, 2, 0, 29, 0, 0, 0),
        Fields(2026, 4, 0, 31, 0, 0, 0),  Fields(2026, 1, 0, 0, 0, 0, 0),  Fields(2026, 1, 0, 1, 24, 0, 0),
        Fields(2026, 1, 0, 1, 0, 60, 0),  Fields(2026, 1, 0, 1, 0, 0, 60), Fields(2026, 1, 0, 1, 0, 0, 0, 1000),
        Fields(1600, 12, 0, 31, 0, 0, 0), Fields(30828, 1, 0, 1, 0, 0, 0),
    };
    for (const SYSTEMTIME& st : kCases)
    {
        SCOPED_TRACE(Text(st));
        FILETIME ft{};
        EXPECT_FALSE(SystemTimeToFileTime(st, ft));
        EXPECT_FALSE(LocalSystemTimeToFileTime(st, ft));
    }
}

// Sets TZ for one test and puts the old value back.
class LocalTimeTest : public ::testing::Test
{
protected:
    LocalTimeTest()
    {
        if (const char* pszOld = std::getenv("TZ")) m_strOldZone = pszOld;
    }
    ~LocalTimeTest() override
    {
        m_strOldZone ? ::setenv("TZ", m_strOldZone->c_str(), 1) : ::unsetenv("TZ");
        ::tzset();
    }
    static void SetZone(const char* pszZone)
    {
        ::setenv("TZ", pszZone, 1);
        ::tzset();
    }

private:
    std::optional<std::string> m_strOldZone;
};

TEST_F(LocalTimeTest, UtcInstantsShowAsLocalFieldsAndBack)
{
    // POSIX zone rules need no time zone database.
    const char* kCentralEurope = "CET-1CEST,M3.5.0,M10.5.0/3";
    const char* kEasternUs = "EST5EDT,M3.2.0,M11.1.0";
    const struct
    {
        const char* pszZone;
        std::uint64_t nUtcTicks;
        SYSTEMTIME stLocal;
    } kCases[] = {
        {kCentralEurope, 134'129'520'000'000'000, Fields(2026, 1, 4, 15, 13, 0, 0)},      // winter: +1 h
        {kCentralEurope, 134'285'904'002'500'000, Fields(2026, 7, 3, 15, 14, 0, 0, 250)}, // summer: +2 h
        {kEasternUs, 134'129'520'000'000'000, Fields(2026, 1, 4, 15, 7, 0, 0)},           // -5 h
        {kEasternUs, kTicks1970, Fields(1969, 12, 3, 31, 19, 0, 0)},                      // the day before
        {"<+0530>-5:30", 134'180'516'960'000'000, Fields(2026, 3, 0, 15, 18, 4, 56)},     // half hours
    };
    for (const auto& c : kCases)
    {
        SCOPED_TRACE(std::string(c.pszZone) + " " + Text(c.stLocal));
        SetZone(c.pszZone);
        SYSTEMTIME st{};
        ASSERT_TRUE(FileTimeToLocalSystemTime(FILETIME{c.nUtcTicks}, st));
        EXPECT_EQ(Text(st), Text(c.stLocal));
        FILETIME ft{};
        ASSERT_TRUE(LocalSystemTimeToFileTime(c.stLocal, ft));
        EXPECT_EQ(ft.nTicks, c.nUtcTicks);
    }

    // West of Greenwich the first instant falls into 1600, which the fields cannot hold.
    SetZone(kEasternUs);
    SYSTEMTIME st{};
    EXPECT_FALSE(FileTimeToLocalSystemTime(FILETIME{0}, st));
}

} // namespace
