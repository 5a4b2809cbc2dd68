#include "SiteRecord.h"

#include "platform/Utf16.h"

#include <algorithm>

namespace
{
constexpr std::size_t kTextBytes = CSiteRecord::kTextUnits * 2;
}

void CSiteRecord::SetDefaults()
{
    m_vBytes.fill(0);
    SetPort(21);
    SetPassive(true);
    SetReserved2(1);
    SetTimeout(10);
    SetKeepAlive(true);
}

std::uint32_t CSiteRecord::GetUInt32(std::size_t nOffset) const
{
    return m_vBytes[nOffset] | (m_vBytes[nOffset + 1] << 8) | (m_vBytes[nOffset + 2] << 16) |
           (static_cast<std::uint32_t>(m_vBytes[nOffset + 3]) << 24);
}

void CSiteRecord::SetUInt32(std::size_t nOffset, std::uint32_t nValue)
{
    for (std::size_t i = 0; i < 4; ++i)
        m_vBytes[nOffset + i] = static_cast<std::uint8_t>(nValue >> (8 * i));
}

std::wstring CSiteRecord::GetText(EText eText) const
{
    const auto nOffset = static_cast<std::size_t>(eText);
    std::u16string units;
    for (std::size_t i = 0; i < kTextUnits; ++i)
    {
        const auto nUnit = static_cast<char16_t>(m_vBytes[nOffset + 2 * i] | (m_vBytes[nOffset + 2 * i + 1] << 8));
        if (nUnit == 0) break;
        units.push_back(nUnit);
    }
    return WideFromUtf16(units);
}

bool CSiteRecord::SetText(EText eText, std::wstring_view str, std::wstring* pstrError)
{
    const auto fnRefuse = [&](const std::wstring& strReason)
    {
        if (pstrError) *pstrError = strReason;
        return false;
    };
    const auto units = Utf16FromWide(str);
    if (!units || units->find(u'\0') != std::u16string::npos)
        return fnRefuse(L"The " + FieldName(eText) + L" contains a character that cannot be stored.");
    if (units->size() > kMaxTextLength)
        return fnRefuse(L"The " + FieldName(eText) + L" is too long: at most " + std::to_wstring(kMaxTextLength) +
                        L" characters fit.");
    if (GetText(eText) == str) return true;
    const auto nOffset = static_cast<std::size_t>(eText);
    std::fill_n(m_vBytes.begin() + static_cast<std::ptrdiff_t>(nOffset), kTextBytes, std::uint8_t{0});
    for (std::size_t i = 0; i < units->size(); ++i)
    {
        m_vBytes[nOffset + 2 * i] = static_cast<std::uint8_t>((*units)[i] & 0xFF);
        m_vBytes[nOffset + 2 * i + 1] = static_cast<std::uint8_t>((*units)[i] >> 8);
    }
    return true;
}

std::wstring CSiteRecord::FieldName(EText eText)
{
    switch (eText)
    {
    case EText::Label:
        return L"site label";
    case EText::Host:
        return L"host";
    case EText::Login:
        return L"login";
    case EText::Password:
        return L"password";
    case EText::ReservedText:
        return L"reserved text";
    case EText::FtpDirectory:
        return L"FTP directory";
    }
    return L"text";
}
