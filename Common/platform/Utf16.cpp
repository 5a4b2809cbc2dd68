#include "Utf16.h"

std::optional<std::u16string> Utf16FromWide(std::wstring_view str)
{
    std::u16string units;
    units.reserve(str.size());
    for (wchar_t ch : str)
    {
        const auto nCode = static_cast<std::uint32_t>(ch);
        if (nCode <= 0xFFFF)
            units.push_back(static_cast<char16_t>(nCode));
        else if (nCode <= 0x10FFFF)
        {
            const std::uint32_t nOffset = nCode - 0x10000;
            units.push_back(static_cast<char16_t>(0xD800 + (nOffset >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + (nOffset & 0x3FF)));
        }
        else
            return std::nullopt;
    }
    return units;
}

std::wstring WideFromUtf16(std::u16string_view units)
{
    std::wstring str;
    str.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i)
    {
        const std::uint32_t nUnit = units[i];
        if (nUnit >= 0xD800 && nUnit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF)
        {
            const std::uint32_t nLow = units[++i];
            str.push_back(static_cast<wchar_t>(0x10000 + ((nUnit - 0xD800) << 10) + (nLow - 0xDC00)));
        }
        else
            str.push_back(static_cast<wchar_t>(nUnit));
    }
    return str;
}

void AppendUtf16Le(std::vector<std::uint8_t>& vBytes, std::u16string_view units)
{
    vBytes.reserve(vBytes.size() + units.size() * 2);
    for (char16_t unit : units)
    {
        vBytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        vBytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
}

std::u16string Utf16FromLeBytes(std::span<const std::uint8_t> bytes)
{
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        units.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    return units;
}
