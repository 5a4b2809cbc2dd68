#include "Text.h"

namespace nsFTP
{

std::wstring WideFromWire(std::string_view str)
{
    std::wstring result(str.size(), L'\0');
    for (size_t i = 0; i < str.size(); ++i)
        result[i] = static_cast<wchar_t>(static_cast<unsigned char>(str[i]));
    return result;
}

std::optional<std::string> WireFromWide(std::wstring_view str)
{
    std::string result(str.size(), '\0');
    for (size_t i = 0; i < str.size(); ++i)
    {
        const auto ch = static_cast<unsigned long>(str[i]);
        if (ch > 0xFF) return std::nullopt;
        result[i] = static_cast<char>(static_cast<unsigned char>(ch));
    }
    return result;
}

} // namespace nsFTP
