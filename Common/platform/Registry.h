#pragma once
// Our stand-in for the current user's registry hive: keys by path, typed values, kept in one text file per user.
//
// - Key paths are components joined by "\" (L"SOFTWARE\\Ravelin FTPClient\\Sites"); key paths and value names
//   compare without regard to letter case. A key keeps the spelling it was created with; a value keeps the
//   spelling of its latest write. The empty name is the key's default value.
// - Keys and the values of a key are enumerated in order of creation. Replacing a value keeps its place; a
//   value deleted and written again goes to the end.
// - The file is $XDG_CONFIG_HOME/Ravelin FTPClient/registry (~/.config when XDG_CONFIG_HOME is unset, empty or
//   relative); RAVELIN_REGISTRY_FILE names another file. It is read afresh by every call, so several programs
//   can share it: each call locks it (flock on "<file>.lock"), reads it, and writes a changed copy through
//   "<file>.tmp", fsync and rename, so a crash leaves either the old or the new file. The file and the lock are
//   mode 0600 and folders we create 0700: site records hold passwords.
// - A file with lines that cannot be read is copied to "<file>.broken-<date>-<time>" and the user is told once
//   per broken file and process (nsFTP::ReportError, after the lock is released); the calls go on with the lines
//   that could be read, and the next change writes the file without the others. Reading never rewrites it. When
//   no copy can be made, the file is never rewritten. A file that cannot be read at all fails every call.
// - A call waits at most 10 s for the lock, then fails.
// - Every call returns failure instead of throwing.
//
// The file looks like a .reg export:
//   [SOFTWARE\Ravelin FTPClient\Sites]
//   @=hex:01,02
//   "Home"=hex:4a,00,...
//   "Count"=dword:0000002a
//   "Title"="text with \"quotes\", \\ and \n"
//   "Other"=hex(7):00,00
// Names and texts are UTF-8; quotes, backslashes and control characters are escaped (\" \\ \n \r \t \uXXXX).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;

struct CRegValue
{
    std::uint32_t nType = 0;
    std::vector<std::uint8_t> vData;

    bool operator==(const CRegValue&) const = default;
};

// What a bounded query found: the value's type, its full size and how many bytes went into the caller's buffer.
struct CRegQueryInfo
{
    std::uint32_t nType = 0;
    std::uint64_t nFullSize = 0;
    std::uint64_t nCopied = 0;
};

class CRegistry
{
public:
    static constexpr const char* kFileVariable = "RAVELIN_REGISTRY_FILE";

    // The file the calls use now (the environment is read on every call); empty when no home folder is known.
    static std::string GetFilePath();

    // Creates the key when it is missing. False for an invalid path (empty component, control character).
    static bool CreateKey(const std::wstring& strKey);
    static bool KeyExists(const std::wstring& strKey);

    // Creates the key as needed, then creates the value or replaces one of the same name, letter case aside.
    static bool SetValue(const std::wstring& strKey, const std::wstring& strName, std::uint32_t nType,
                         std::span<const std::uint8_t> data);
    // The whole value; none when the key or the value is missing or the file cannot be read.
    static std::optional<CRegValue> QueryValue(const std::wstring& strKey, const std::wstring& strName);
    // Copies at most buffer.size() bytes and tells the full size, as a caller with a fixed buffer needs it.
    static std::optional<CRegQueryInfo> QueryValue(const std::wstring& strKey, const std::wstring& strName,
                                                   std::span<std::uint8_t> buffer);
    // True when the value is gone afterwards: a missing value or key is no error.
    static bool DeleteValue(const std::wstring& strKey, const std::wstring& strName);
    // Names in enumeration order; empty for a missing key.
    static std::vector<std::wstring> EnumValueNames(const std::wstring& strKey);

    // REG_DWORD as four little-endian bytes.
    static bool SetDword(const std::wstring& strKey, const std::wstring& strName, std::uint32_t nValue);
    // Only a REG_DWORD of four bytes.
    static std::optional<std::uint32_t> QueryDword(const std::wstring& strKey, const std::wstring& strName);
    // REG_SZ as UTF-16LE code units with a terminating zero unit.
    static bool SetString(const std::wstring& strKey, const std::wstring& strName, const std::wstring& strValue);
    // Only a REG_SZ; the text ends at the first zero unit.
    static std::optional<std::wstring> QueryString(const std::wstring& strKey, const std::wstring& strName);
};
