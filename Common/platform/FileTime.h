#pragma once
// FILETIME and SYSTEMTIME as the rest of the program knows them: an instant is a count of 100 ns ticks since
// 1601-01-01 00:00 UTC; calendar fields are shown in local time. Modification times are kept as true UTC
// instants and turned into local fields only for display.

#include <compare>
#include <cstdint>
#include <ctime>

struct FILETIME
{
    // Little-endian in memory, so the bytes are those of the low and high 32-bit words of a stored FILETIME.
    std::uint64_t nTicks = 0;

    auto operator<=>(const FILETIME&) const = default;
};

// Calendar fields. wDayOfWeek counts from Sunday = 0; it is filled by the conversions and ignored as input.
struct SYSTEMTIME
{
    std::uint16_t wYear = 0;
    std::uint16_t wMonth = 0; // 1 to 12
    std::uint16_t wDayOfWeek = 0;
    std::uint16_t wDay = 0; // 1 to 31
    std::uint16_t wHour = 0;
    std::uint16_t wMinute = 0;
    std::uint16_t wSecond = 0;
    std::uint16_t wMilliseconds = 0;

    bool operator==(const SYSTEMTIME&) const = default;
};

inline constexpr std::uint64_t kFileTimeTicksPerSecond = 10'000'000;
// Seconds from 1601-01-01 to 1970-01-01.
inline constexpr std::int64_t kFileTimeUnixEpochSeconds = 11'644'473'600;
// Instants from 1601 up to this many ticks, as the calendar conversions accept them (the year 30828).
inline constexpr std::uint64_t kFileTimeMaxTicks = 0x7FFF'FFFF'FFFF'FFFF;

// Seconds before 1601 give tick 0; seconds beyond the range give the largest instant.
FILETIME FileTimeFromUnixSeconds(std::int64_t nSeconds);
// Rounded down to the whole second.
std::int64_t UnixSecondsFromFileTime(FILETIME ft);
// The time stamps of struct stat (st_mtim and its siblings), to the 100 ns.
FILETIME FileTimeFromTimespec(const struct timespec& ts);
FILETIME GetCurrentFileTime();

// The instant's own (UTC) calendar fields; false beyond the range.
bool FileTimeToSystemTime(FILETIME ft, SYSTEMTIME& st);
// UTC calendar fields to the instant; false for a field out of its range or a year outside 1601 to 30827.
bool SystemTimeToFileTime(const SYSTEMTIME& st, FILETIME& ft);

// A UTC instant as local calendar fields (time zone from TZ, as the C library sees it now).
bool FileTimeToLocalSystemTime(FILETIME ftUtc, SYSTEMTIME& stLocal);
// Local calendar fields to the UTC instant; the C library decides on daylight saving time.
bool LocalSystemTimeToFileTime(const SYSTEMTIME& stLocal, FILETIME& ftUtc);
