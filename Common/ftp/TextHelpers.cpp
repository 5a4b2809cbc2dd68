#include "TextHelpers.h"

#include "Report.h"
#include "Text.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <cwchar>

namespace
{

// "%.2f" without printf, whose decimal point follows LC_NUMERIC.
std::wstring Fixed2(double dValue, const wchar_t* pszUnit)
{
    char szBuffer[64];
    const auto result = std::to_chars(szBuffer, szBuffer + sizeof szBuffer, dValue, std::chars_format::fixed, 2);
    std::wstring str(szBuffer, result.ptr);
    str += pszUnit;
    return str;
}

// strerror_r comes in two flavours: GNU returns the text (not always in the buffer), XSI returns 0 and fills
// the buffer. Overloading on the return type accepts either.
[[maybe_unused]] const char* SystemText(int nResult, const char* pszBuffer)
{
    return nResult == 0 ? pszBuffer : nullptr;
}
[[maybe_unused]] const char* SystemText(const char* pszText, const char*)
{
    return pszText;
}

// The system's messages are in the locale's character set (translated ones are usually UTF-8); a text that does
// not convert is taken byte for byte.
std::wstring WideFromSystem(const char* pszText)
{
    std::wstring str;
    std::mbstate_t state{};
    const char* p = pszText;
    const char* const pEnd = pszText + std::strlen(pszText);
    while (p < pEnd)
    {
        wchar_t ch;
        const std::size_t nUsed = std::mbrtowc(&ch, p, static_cast<std::size_t>(pEnd - p), &state);
        if (nUsed == static_cast<std::size_t>(-1) || nUsed == static_cast<std::size_t>(-2) || nUsed == 0)
            return nsFTP::WideFromWire(pszText);
        str += ch;
        p += nUsed;
    }
    return str;
}

template <class TString>
TString JoinPath(const TString& strFolder, const TString& strName, typename TString::value_type chSeparator)
{
    TString strPath;
    strPath.reserve(strFolder.size() + 1 + strName.size());
    strPath = strFolder;
    if (strFolder.empty() || (strFolder.back() != '/' && strFolder.back() != '\\')) strPath += chSeparator;
    strPath += strName;
    return strPath;
}

} // namespace

std::wstring FormatSizeText(std::int64_t nBytes)
{
    constexpr std::int64_t nKb = 1024;
    constexpr std::int64_t nMb = nKb * 1024;
    constexpr std::int64_t nGb = nMb * 1024;
    constexpr std::int64_t nUnknown32 = 0xFFFFFFFF;
    if (nBytes <= 0 || nBytes == nUnknown32) return {};
    if (nBytes < nKb) return std::to_wstring(nBytes) + L" B";
    if (nBytes < nMb) return Fixed2(static_cast<double>(nBytes) / nKb, L" Kb");
    // Mb up to the old 32-bit limit keeps the texts users know; Gb from there on keeps big sizes short.
    if (nBytes < 4 * nGb) return Fixed2(static_cast<double>(nBytes) / nMb, L" Mb");
    return Fixed2(static_cast<double>(nBytes) / nGb, L" Gb");
}

void ShowSystemError(const std::wstring& strContext)
{
    const int nCode = errno;
    char szBuffer[256] = "";
    const char* pszSystem = SystemText(strerror_r(nCode, szBuffer, sizeof szBuffer), szBuffer);

    std::wstring strText = L"Error code: " + std::to_wstring(nCode) + L"\n";
    if (pszSystem && *pszSystem)
    {
        strText += WideFromSystem(pszSystem);
        strText += L'\n';
    }
    strText += strContext;
    nsFTP::ReportError(strText);
    errno = nCode;
}

std::wstring JoinRemotePath(const std::wstring& strFolder, const std::wstring& strName)
{
    return JoinPath(strFolder, strName, L'/');
}

std::wstring JoinLocalPath(const std::wstring& strFolder, const std::wstring& strName)
{
    return JoinPath(strFolder, strName, L'/');
}

std::string JoinLocalPath(const std::string& strFolder, const std::string& strName)
{
    return JoinPath(strFolder, strName, '/');
}
