#include "FileTime.h"

#include <algorithm>
#include <chrono>
#include <limits>

namespace
{

constexpr std::int64_t kSecondsPerDay = 86'400;
constexpr std::uint64_t kTicksPerMillisecond = 10'000;

constexpr std::chrono::sys_days kEpoch1601 = std::chrono::year(1601) / std::chrono::January / 1;

bool IsValidFields(const SYSTEMTIME& st)
{
    const std::chrono::year_month_day ymd{std::chrono::year(st.wYear), std::chrono::month(st.wMonth),
                                          std::chrono::day(st.wDay)};
    return st.wYear >= 1601 && st.wYear <= 30827 && ymd.ok() && st.wHour < 24 && st.wMinute < 60 && st.wSecond < 60 &&
           st.wMilliseconds < 1000;
}

} // namespace

FILETIME FileTimeFromUnixSeconds(std::int64_t nSeconds)
{
    constexpr std::int64_t nMaxSeconds =
        static_cast<std::int64_t>(kFileTimeMaxTicks / kFileTimeTicksPerSecond) - kFileTimeUnixEpochSeconds;
    if (nSeconds <= -kFileTimeUnixEpochSeconds) return FILETIME{0};
    if (nSeconds > nMaxSeconds) return FILETIME{kFileTimeMaxTicks};
    return FILETIME{static_cast<std::uint64_t>(nSeconds + kFileTimeUnixEpochSeconds) * kFileTimeTicksPerSecond};
}

std::int64_t UnixSecondsFromFileTime(FILETIME ft)
{
    return static_cast<std::int64_t>(ft.nTicks / kFileTimeTicksPerSecond) - kFileTimeUnixEpochSeconds;
}

FILETIME FileTimeFromTimespec(const struct timespec& ts)
{
    FILETIME ft = FileTimeFromUnixSeconds(ts.tv_sec);
    if (ts.tv_sec >= -kFileTimeUnixEpochSeconds && ts.tv_nsec > 0 && ts.tv_nsec < 1'000'000'000)
        ft.nTicks = std::min(kFileTimeMaxTicks, ft.nTicks + static_cast<std::uint64_t>(ts.tv_nsec) / 100);
    return ft;
}

FILETIME GetCurrentFileTime()
{
    struct timespec ts
    {
    };
    clock_gettime(CLOCK_REALTIME, &ts);
    return FileTimeFromTimespec(ts);
}

bool FileTimeToSystemTime(FILETIME ft, SYSTEMTIME& st)
{
    if (ft.nTicks > kFileTimeMaxTicks) return false;
    const std::uint64_t nSeconds = ft.nTicks / kFileTimeTicksPerSecond;
    const std::uint64_t nSecondOfDay = nSeconds % kSecondsPerDay;
    const std::chrono::sys_days day =
        kEpoch1601 + std::chrono::days(static_cast<std::int64_t>(nSeconds / kSecondsPerDay));
    const std::chrono::year_month_day ymd(day);
    st.wYear = static_cast<std::uint16_t>(static_cast<int>(ymd.year()));
    st.wMonth = static_cast<std::uint16_t>(static_cast<unsigned>(ymd.month()));
    st.wDay = static_cast<std::uint16_t>(static_cast<unsigned>(ymd.day()));
    st.wDayOfWeek = static_cast<std::uint16_t>(std::chrono::weekday(day).c_encoding());
    st.wHour = static_cast<std::uint16_t>(nSecondOfDay / 3600);
    st.wMinute = static_cast<std::uint16_t>(nSecondOfDay / 60 % 60);
    st.wSecond = static_cast<std::uint16_t>(nSecondOfDay % 60);
    st.wMilliseconds = static_cast<std::uint16_t>(ft.nTicks % kFileTimeTicksPerSecond / kTicksPerMillisecond);
    return true;
}

bool SystemTimeToFileTime(const SYSTEMTIME& st, FILETIME& ft)
{
    if (!IsValidFields(st)) return false;
    const std::chrono::sys_days day =
        std::chrono::year(st.wYear) / std::chrono::month(st.wMonth) / std::chrono::day(st.wDay);
    const std::int64_t nSeconds =
        (day - kEpoch1601).count() * kSecondsPerDay + st.wHour * 3600 + st.wMinute * 60 + st.wSecond;
    ft.nTicks =
        static_cast<std::uint64_t>(nSeconds) * kFileTimeTicksPerSecond + st.wMilliseconds * kTicksPerMillisecond;
    return true;
}

bool FileTimeToLocalSystemTime(FILETIME ftUtc, SYSTEMTIME& stLocal)
{
    if (ftUtc.nTicks > kFileTimeMaxTicks) return false;
    const std::time_t tUtc = static_cast<std::time_t>(UnixSecondsFromFileTime(ftUtc));
    std::tm tmLocal{};
    tzset(); // localtime_r need not look at TZ again by itself
    if (!localtime_r(&tUtc, &tmLocal)) return false;
    const int nYear = tmLocal.tm_year + 1900;
    if (nYear < 1601 || nYear > 30827) return false;
    stLocal.wYear = static_cast<std::uint16_t>(nYear);
    stLocal.wMonth = static_cast<std::uint16_t>(tmLocal.tm_mon + 1);
    stLocal.wDayOfWeek = static_cast<std::uint16_t>(tmLocal.tm_wday);
    stLocal.wDay = static_cast<std::uint16_t>(tmLocal.tm_mday);
    stLocal.wHour = static_cast<std::uint16_t>(tmLocal.tm_hour);
    stLocal.wMinute = static_cast<std::uint16_t>(tmLocal.tm_min);
    // A leap second (tm_sec 60) has no field value; show the last second of the minute.
    stLocal.wSecond = static_cast<std::uint16_t>(tmLocal.tm_sec > 59 ? 59 : tmLocal.tm_sec);
    stLocal.wMilliseconds = static_cast<std::uint16_t>(ftUtc.nTicks % kFileTimeTicksPerSecond / kTicksPerMillisecond);
    return true;
}

bool LocalSystemTimeToFileTime(const SYSTEMTIME& stLocal, FILETIME& ftUtc)
{
    if (!IsValidFields(stLocal)) return false;
    std::tm tmLocal{};
    tmLocal.tm_year = stLocal.wYear - 1900;
    tmLocal.tm_mon = stLocal.wMonth - 1;
    tmLocal.tm_mday = stLocal.wDay;
    tmLocal.tm_hour = stLocal.wHour;
    tmLocal.tm_min = stLocal.wMinute;
    tmLocal.tm_sec = stLocal.wSecond;
    tmLocal.tm_isdst = -1;
    tmLocal.tm_wday = -1; // mktime fills it on success; -1 is also a valid result time
    const std::time_t tUtc = std::mktime(&tmLocal);
    if (tmLocal.tm_wday < 0) return false;
    const FILETIME ft = FileTimeFromUnixSeconds(static_cast<std::int64_t>(tUtc));
    if (ft.nTicks == 0 && tUtc != -kFileTimeUnixEpochSeconds) return false; // local fields that lie before 1601 in UTC
    ftUtc.nTicks = ft.nTicks + stLocal.wMilliseconds * kTicksPerMillisecond;
    return true;
}
