#include "TimeText.h"

#include <cwchar>

namespace
{

// 127 characters and the terminator.
constexpr std::size_t kCapacity = 128;

} // namespace

std::wstring FormatLocalTimeText(std::time_t nTime)
{
    std::tm tmLocal{};
    if (localtime_r(&nTime, &tmLocal) == nullptr) return {};
    if (tmLocal.tm_year < 0)
    {
        // Before 1900: time zero, as it would have been shown had the calendar time been built at all.
        const std::time_t nZero = 0;
        if (localtime_r(&nZero, &tmLocal) == nullptr) return {};
    }
    wchar_t szText[kCapacity];
    const std::size_t nLength = std::wcsftime(szText, kCapacity, L"%x %X", &tmLocal);
    return nLength == 0 ? std::wstring() : std::wstring(szText, nLength);
}

std::wstring FormatLocalTimeText(FILETIME ftUtc)
{
    return FormatLocalTimeText(UnixSecondsFromFileTime(ftUtc));
}
