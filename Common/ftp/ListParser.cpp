#include "ListParser.h"

#include <climits>
#include <cstdint>
#include <ctime>
#include <string_view>

namespace nsFTP
{

namespace
{

using Ptr = const wchar_t*;

// What a date field holds when its text is not a number; far outside every valid range even after the MS-DOS
// century is added, so it can never pass for a real value.
constexpr std::int64_t kNotNumber = INT64_MIN;

bool IsBlank(wchar_t ch)
{
    return ch == L' ' || (ch >= L'\t' && ch <= L'\r');
}

wchar_t LowerAscii(wchar_t ch)
{
    return (ch >= L'A' && ch <= L'Z') ? static_cast<wchar_t>(ch + (L'a' - L'A')) : ch;
}

// Reads [p, pEnd) as an unsigned decimal the way the C library's conversion does (leading blanks, an optional
// sign, a minus negating modulo 2^64, too many digits saturating), but without its locale and without needing a
// terminated copy. Succeeds only when every character was used; an empty range is 0.
bool ToNumber(Ptr p, Ptr pEnd, std::uint64_t& nValue)
{
    nValue = 0;
    if (p == pEnd) return true;
    while (p != pEnd && IsBlank(*p))
        ++p;
    bool fNegative = false;
    if (p != pEnd && (*p == L'+' || *p == L'-'))
    {
        fNegative = *p == L'-';
        ++p;
    }
    if (p == pEnd) return false;
    std::uint64_t n = 0;
    bool fOverflow = false;
    for (; p != pEnd; ++p)
    {
        if (*p < L'0' || *p > L'9') return false;
        const auto nDigit = static_cast<std::uint64_t>(*p - L'0');
        if (n > (UINT64_MAX - nDigit) / 10)
            fOverflow = true;
        else
            n = n * 10 + nDigit;
    }
    nValue = fOverflow ? UINT64_MAX : (fNegative ? 0 - n : n);
    return true;
}

std::int64_t NumberOr(Ptr p, Ptr pEnd, std::int64_t nOtherwise)
{
    std::uint64_t n;
    return ToNumber(p, pEnd, n) ? static_cast<std::int64_t>(n) : nOtherwise;
}

std::int64_t DateField(Ptr p, Ptr pEnd)
{
    return NumberOr(p, pEnd, kNotNumber);
}

// 1 to 12, or 0 when the three characters are not a month.
int MonthFromText(Ptr p, Ptr pEnd)
{
    if (pEnd - p != 3) return 0;
    static constexpr char szMonths[] = "janfebmaraprmayjunjulaugsepoctnovdec";
    const wchar_t ch0 = LowerAscii(p[0]), ch1 = LowerAscii(p[1]), ch2 = LowerAscii(p[2]);
    for (int i = 0; i < 12; ++i)
        if (ch0 == szMonths[3 * i] && ch1 == szMonths[3 * i + 1] && ch2 == szMonths[3 * i + 2]) return i + 1;
    return 0;
}

// A local time of this computer, the system deciding on daylight saving time. 0 when a part is out of range or
// the conversion cannot represent the date: a bad date costs the entry its date, never the listing.
std::int64_t LocalTime(std::int64_t nYear, std::int64_t nMonth, std::int64_t nDay, std::int64_t nHour,
                       std::int64_t nMinute)
{
    if (nYear < 1900 || nYear - 1900 > INT_MAX || nMonth < 1 || nMonth > 12 || nDay < 1 || nDay > 31 || nHour < 0 ||
        nHour > 23 || nMinute < 0 || nMinute > 59)
        return 0;
    std::tm tm{};
    tm.tm_year = static_cast<int>(nYear - 1900);
    tm.tm_mon = static_cast<int>(nMonth - 1);
    tm.tm_mday = static_cast<int>(nDay);
    tm.tm_hour = static_cast<int>(nHour);
    tm.tm_min = static_cast<int>(nMinute);
    tm.tm_isdst = -1;
    // mktime fills tm_wday only on success; -1 is also a real time, so the result alone cannot tell.
    tm.tm_wday = -1;
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1) && tm.tm_wday == -1) return 0;
    return static_cast<std::int64_t>(t);
}

Ptr Find(Ptr p, Ptr pEnd, wchar_t ch)
{
    while (p != pEnd && *p != ch)
        ++p;
    return p;
}

Ptr Skip(Ptr p, Ptr pEnd, wchar_t ch)
{
    while (p != pEnd && *p == ch)
        ++p;
    return p;
}

// "+" facts each ended by ",", a tab, the name.
bool ParseEplf(Ptr pLine, Ptr pEnd, CFTPFileStatus& status)
{
    Ptr pFact = pLine + 1;
    for (Ptr p = pFact; p != pEnd; ++p)
    {
        if (*p == L'\t')
        {
            // A fact cut short by the tab is ignored.
            status.m_strName.assign(p + 1, pEnd);
            return true;
        }
        if (*p != L',') continue;
        if (p != pFact)
        {
            const Ptr pValue = pFact + 1;
            switch (*pFact)
            {
            case L'/':
                status.m_fIsDirectory = true;
                break;
            case L'r':
                status.m_fIsFile = true;
                break;
            case L's':
                status.m_nSizeKnown = 1;
                status.m_nSize = NumberOr(pValue, p, 0);
                break;
            case L'm':
                // Kept at 64 bits: a 32-bit time would turn dates after 2038 into dates before 1970.
                status.m_tModified = NumberOr(pValue, p, 0);
                break;
            case L'i':
                status.m_nIdKnown = 1;
                status.m_strId.assign(pValue, p);
                break;
            default:
                break;
            }
        }
        pFact = p + 1;
    }
    return false;
}

// ls -l: permissions, links, owner, group, size, month, day, time or year, name. Columns are split at runs of
// spaces, and only a column followed by a space counts, so a line that ends on its time has no name and fails.
bool ParseUnix(Ptr pLine, Ptr pEnd, CFTPFileStatus& status, int nCurrentYear)
{
    switch (pLine[0])
    {
    case L'-':
        status.m_fIsFile = true;
        break;
    case L'd':
        status.m_fIsDirectory = true;
        break;
    case L'l':
        // A link may lead to either; the user can try to enter it or to fetch it.
        status.m_fIsDirectory = true;
        status.m_fIsFile = true;
        break;
    default:
        break;
    }

    enum
    {
        kPermissions,
        kLinks,
        kOwner,
        kGroupOrSize,
        kSizeOrMonth,
        kDay,
        kTimeOrYear,
        kDone
    } nState = kPermissions;
    std::int64_t nSize = 0, nMonth = 0, nDay = 0, nHour = 0, nMinute = 0, nYear = 0;
    Ptr pColumn = nullptr;
    for (Ptr p = pLine; p != pEnd && nState != kDone; ++p)
    {
        if (*p != L' ')
        {
            if (!pColumn) pColumn = p;
            continue;
        }
        if (!pColumn) continue;
        const Ptr pCol = pColumn;
        const std::ptrdiff_t nLength = p - pCol;
        pColumn = nullptr;
        std::uint64_t nValue;
        switch (nState)
        {
        case kPermissions:
            status.m_strAttributes.assign(pCol, p);
            nState = kLinks;
            break;
        case kLinks:
            status.m_strLinks.assign(pCol, p);
            // Some servers put a word such as "folder" here and leave the owner out.
            nState = (nLength == 6 && pCol[0] == L'f') ? kGroupOrSize : kOwner;
            break;
        case kOwner:
            status.m_strOwner.assign(pCol, p);
            nState = kGroupOrSize;
            break;
        case kGroupOrSize:
            if (ToNumber(pCol, p, nValue))
                nSize = static_cast<std::int64_t>(nValue);
            else
            {
                nSize = -1;
                status.m_strGroup.assign(pCol, p);
            }
            nState = kSizeOrMonth;
            break;
        case kSizeOrMonth:
            // The last number before the month is the size, with or without a group column before it.
            if (const int nFound = MonthFromText(pCol, p))
            {
                nMonth = nFound;
                nState = kDay;
            }
            else
                nSize = ToNumber(pCol, p, nValue) ? static_cast<std::int64_t>(nValue) : -1;
            break;
        case kDay:
            nDay = DateField(pCol, p);
            nState = kTimeOrYear;
            break;
        case kTimeOrYear:
        {
            if (nLength == 4 && pCol[1] == L':')
            {
                nHour = DateField(pCol, pCol + 1);
                nMinute = DateField(pCol + 2, p);
                nYear = nCurrentYear;
            }
            else if (nLength == 5 && pCol[2] == L':')
            {
                nHour = DateField(pCol, pCol + 2);
                nMinute = DateField(pCol + 3, p);
                nYear = nCurrentYear;
            }
            else if (nLength < 4)
                return false;
            else
                nYear = DateField(pCol, p);
            status.m_tModified = LocalTime(nYear, nMonth, nDay, nHour, nMinute);

            // The name is everything after this column's space, further spaces and " -> target" included.
            // Layouts whose second character is a space or "[" pad the name with three more spaces.
            Ptr pName = p + 1;
            if ((pLine[1] == L' ' || pLine[1] == L'[') && pEnd - pName > 3 && pName[0] == L' ' && pName[1] == L' ' &&
                pName[2] == L' ')
                pName += 3;
            status.m_strName.assign(pName, pEnd);
            nState = kDone;
            break;
        }
        case kDone:
            break;
        }
    }
    if (nState != kDone) return false;
    status.m_nSize = nSize;
    status.m_nSizeKnown = 1;
    return true;
}

// NAME.EXT;version size dd-MMM-yyyy hh:mm further columns. The size stays unknown.
bool ParseVms(Ptr pLine, Ptr pEnd, Ptr pSemicolon, CFTPFileStatus& status)
{
    static constexpr wchar_t szDirSuffix[] = L".DIR";
    if (pSemicolon - pLine >= 5 && std::wstring_view(pSemicolon - 4, 4) == szDirSuffix)
    {
        status.m_fIsDirectory = true;
        status.m_strName.assign(pLine, pSemicolon - 4);
    }
    else
    {
        status.m_fIsFile = true;
        status.m_strName.assign(pLine, pSemicolon);
    }

    Ptr p = Find(pSemicolon, pEnd, L' ');
    p = Skip(p, pEnd, L' ');
    p = Find(p, pEnd, L' ');
    p = Skip(p, pEnd, L' ');
    Ptr q = Find(p, pEnd, L'-');
    if (q == pEnd) return false;
    const std::int64_t nDay = DateField(p, q);
    p = Skip(q, pEnd, L'-');
    q = Find(p, pEnd, L'-');
    if (q == pEnd) return false;
    const int nMonth = MonthFromText(p, q);
    if (nMonth == 0) return false;
    p = Skip(q, pEnd, L'-');
    q = Find(p, pEnd, L' ');
    if (q == pEnd) return false;
    const std::int64_t nYear = DateField(p, q);
    p = Skip(q, pEnd, L' ');
    q = Find(p, pEnd, L':');
    if (q == pEnd) return false;
    const std::int64_t nHour = DateField(p, q);
    p = Skip(q, pEnd, L':');
    q = p;
    while (q != pEnd && *q != L':' && *q != L' ')
        ++q;
    if (q == pEnd) return false;
    const std::int64_t nMinute = DateField(p, q);
    status.m_tModified = LocalTime(nYear, nMonth, nDay, nHour, nMinute);
    return true;
}

// mm-dd-yy hh:mmAM|PM, then <DIR> or a size, then the name.
bool ParseDos(Ptr pLine, Ptr pEnd, CFTPFileStatus& status)
{
    Ptr p = pLine;
    Ptr q = Find(p, pEnd, L'-');
    if (q == pEnd) return false;
    const std::int64_t nMonth = DateField(p, q);
    p = Skip(q, pEnd, L'-');
    q = Find(p, pEnd, L'-');
    if (q == pEnd) return false;
    const std::int64_t nDay = DateField(p, q);
    p = Skip(q, pEnd, L'-');
    q = Find(p, pEnd, L' ');
    if (q == pEnd) return false;
    std::int64_t nYear = DateField(p, q);
    if (nYear != kNotNumber && nYear < 50) nYear += 2000;
    if (nYear != kNotNumber && nYear < 1000) nYear += 1900;

    p = Skip(q, pEnd, L' ');
    q = Find(p, pEnd, L':');
    if (q == pEnd) return false;
    std::int64_t nHour = DateField(p, q);
    p = Skip(q, pEnd, L':');
    // The AM or PM must follow the minute directly: a 24-hour line is rejected even when an "A" or a "P" turns
    // up later in its name.
    q = p;
    while (q != pEnd && *q != L'A' && *q != L'P' && *q != L' ')
        ++q;
    if (q == pEnd || *q == L' ') return false;
    const std::int64_t nMinute = DateField(p, q);
    if (nHour == 12) nHour = 0;
    if (*q == L'P' && nHour != kNotNumber) nHour += 12;
    ++q;
    if (q != pEnd && *q == L'M') ++q;

    p = Skip(q, pEnd, L' ');
    if (p == pEnd) return false;
    q = Find(p, pEnd, L' ');
    if (q == pEnd) return false;
    if (*p == L'<')
        status.m_fIsDirectory = true;
    else
    {
        status.m_fIsFile = true;
        status.m_nSizeKnown = 1;
        status.m_nSize = NumberOr(p, q, 0);
    }
    p = Skip(q, pEnd, L' ');
    if (p == pEnd) return false;
    status.m_strName.assign(p, pEnd);
    status.m_tModified = LocalTime(nYear, nMonth, nDay, nHour, nMinute);
    return true;
}

bool ParseAnyLayout(Ptr pLine, Ptr pEnd, CFTPFileStatus& status, int nCurrentYear)
{
    // No fall-back: once a layout is chosen, its verdict stands.
    switch (pLine[0])
    {
    case L'+':
        return ParseEplf(pLine, pEnd, status);
    case L'-':
    case L'b':
    case L'c':
    case L'd':
    case L'l':
    case L'p':
    case L's':
        return ParseUnix(pLine, pEnd, status, nCurrentYear);
    default:
        break;
    }
    if (const Ptr pSemicolon = Find(pLine, pEnd, L';'); pSemicolon != pEnd)
        return ParseVms(pLine, pEnd, pSemicolon, status);
    if (pLine[0] >= L'0' && pLine[0] <= L'9') return ParseDos(pLine, pEnd, status);
    return false;
}

} // namespace

bool ParseListLine(const std::wstring& strLine, CFTPFileStatus& status, int nCurrentYear)
{
    status.Clear();
    if (strLine.size() < 2) return false;
    const Ptr pLine = strLine.data();
    if (ParseAnyLayout(pLine, pLine + strLine.size(), status, nCurrentYear)) return true;
    status.Clear();
    return false;
}

} // namespace nsFTP
