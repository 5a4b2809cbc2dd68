#pragma once
// UTF-16 at the boundaries that store it (site record texts, REG_SZ data). wchar_t holds a whole code point on
// Linux, so characters above U+FFFF become surrogate pairs here and back.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Code units for str. A lone surrogate in str passes through as one unit, so that text read from UTF-16 goes
// back unchanged; none when a character lies above U+10FFFF.
std::optional<std::u16string> Utf16FromWide(std::wstring_view str);
// Characters for units: pairs are joined, lone surrogates are kept as they are.
std::wstring WideFromUtf16(std::u16string_view units);

// The same as little-endian bytes (two per unit), as the record and REG_SZ data hold them.
void AppendUtf16Le(std::vector<std::uint8_t>& vBytes, std::u16string_view units);
std::u16string Utf16FromLeBytes(std::span<const std::uint8_t> bytes);
