#include "TimeText.h"

#include <cwchar>

namespace
{

// 127 characters and the terminator.
constexpr std::size_t kCapacity = 128;

// Empty when the time has no local calendar fields or the locale's text does not fit.
std::wstring FormatTime(std::time_t nTime)
{
    std::tm tmLocal{};
    if (localtime_r(&nTime, &tmLocal) == nullptr) return {};
    wchar_t szText[kCapacity];
    const std::size_t nLength = std::wcsftime(szText, kCapacity, L"%x %X", &tmLocal);
    return nLength == 0 ? std::wstring() : std::wstring(szText, nLength);
}

} // namespace

std::wstring FormatLocalTimeText(FILETIME ftUtc)
{
    SYSTEMTIME stLocal{};
    if (!FileTimeToLocalSystemTime(ftUtc, stLocal)) return {};
    // Before 1900 the calendar time is zero.
    return FormatTime(stLocal.wYear >= 1900 ? static_cast<std::time_t>(UnixSecondsFromFileTime(ftUtc)) : 0);
}

std::wstring FormatLocalTimeText(std::time_t nTime)
{
    tzset();
    std::tm tmLocal{};
    if (localtime_r(&nTime, &tmLocal) == nullptr) return {};
    return FormatTime(tmLocal.tm_year < 0 ? 0 : nTime);
}
