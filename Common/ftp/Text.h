#pragma once
// The wire is 8-bit: each character U+0000..U+00FF is one byte of the same value (ISO 8859-1), whatever the
// process locale says.

#include <optional>
#include <string>
#include <string_view>

namespace nsFTP
{

// Each byte becomes the character with the same code.
std::wstring WideFromWire(std::string_view str);
// Each character becomes one byte; none when a character lies above U+00FF (it has no byte on the wire, and
// a substitute could name another file on the server).
std::optional<std::string> WireFromWide(std::wstring_view str);

} // namespace nsFTP
