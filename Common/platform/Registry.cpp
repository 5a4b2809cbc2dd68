#include "Registry.h"

#include "Utf16.h"
#include "ftp/Report.h"

#include <QChar>
#include <QFile>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <map>
#include <mutex>
#include <string_view>
#include <system_error>
#include <thread>
#include <tuple>
#include <utility>

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

constexpr const char* kFolderName = "Ravelin FTPClient";
constexpr const char* kFileName = "registry";
constexpr const char* kHeader = "; Ravelin FTPClient settings. The programs rewrite this file on every change.\n";
// A program stuck while holding the lock must not freeze the others for good.
constexpr auto kLockWait = std::chrono::seconds(10);

// ---- Characters, names and paths

bool IsControl(std::uint32_t nCode)
{
    return nCode < 0x20 || nCode == 0x7F;
}
bool IsSurrogate(std::uint32_t nCode)
{
    return nCode >= 0xD800 && nCode <= 0xDFFF;
}

// Upper case, as the registry compares names; ASCII stays independent of Qt and of the locale.
std::wstring FoldCase(std::wstring_view str)
{
    std::wstring strFolded(str);
    for (wchar_t& ch : strFolded)
    {
        const auto nCode = static_cast<std::uint32_t>(ch);
        if (nCode < 0x80)
        {
            if (ch >= L'a' && ch <= L'z') ch = static_cast<wchar_t>(ch - L'a' + L'A');
        }
        else if (nCode <= 0x10FFFF)
            ch = static_cast<wchar_t>(QChar::toUpper(static_cast<char32_t>(nCode)));
    }
    return strFolded;
}

// Key paths go into the file unescaped between brackets, so they must be plain printable text.
bool IsValidKeyPath(std::wstring_view str)
{
    bool fComponentEmpty = true;
    for (wchar_t ch : str)
    {
        const auto nCode = static_cast<std::uint32_t>(ch);
        if (ch == L'\\')
        {
            if (fComponentEmpty) return false;
            fComponentEmpty = true;
            continue;
        }
        if (IsControl(nCode) || IsSurrogate(nCode) || nCode > 0x10FFFF) return false;
        fComponentEmpty = false;
    }
    return !fComponentEmpty;
}

bool IsValidName(std::wstring_view str)
{
    for (wchar_t ch : str)
        if (static_cast<std::uint32_t>(ch) > 0x10FFFF) return false;
    return true;
}

void AppendUtf8(std::string& str, std::uint32_t nCode)
{
    if (nCode < 0x80)
        str += static_cast<char>(nCode);
    else if (nCode < 0x800)
    {
        str += static_cast<char>(0xC0 | (nCode >> 6));
        str += static_cast<char>(0x80 | (nCode & 0x3F));
    }
    else if (nCode < 0x10000)
    {
        str += static_cast<char>(0xE0 | (nCode >> 12));
        str += static_cast<char>(0x80 | ((nCode >> 6) & 0x3F));
        str += static_cast<char>(0x80 | (nCode & 0x3F));
    }
    else
    {
        str += static_cast<char>(0xF0 | (nCode >> 18));
        str += static_cast<char>(0x80 | ((nCode >> 12) & 0x3F));
        str += static_cast<char>(0x80 | ((nCode >> 6) & 0x3F));
        str += static_cast<char>(0x80 | (nCode & 0x3F));
    }
}

std::string Utf8FromWide(std::wstring_view str)
{
    std::string strOut;
    for (wchar_t ch : str)
        AppendUtf8(strOut, static_cast<std::uint32_t>(ch));
    return strOut;
}

// One well-formed UTF-8 sequence at str[nPos]; nPos moves past it.
std::optional<std::uint32_t> DecodeUtf8(std::string_view str, std::size_t& nPos)
{
    const auto nLead = static_cast<unsigned char>(str[nPos]);
    if (nLead < 0x80)
    {
        ++nPos;
        return nLead;
    }
    std::size_t nMore = 0;
    std::uint32_t nCode = 0;
    std::uint32_t nMin = 0;
    if ((nLead & 0xE0) == 0xC0)
        nMore = 1, nCode = nLead & 0x1F, nMin = 0x80;
    else if ((nLead & 0xF0) == 0xE0)
        nMore = 2, nCode = nLead & 0x0F, nMin = 0x800;
    else if ((nLead & 0xF8) == 0xF0)
        nMore = 3, nCode = nLead & 0x07, nMin = 0x10000;
    else
        return std::nullopt;
    if (nPos + nMore >= str.size()) return std::nullopt;
    for (std::size_t i = 1; i <= nMore; ++i)
    {
        const auto nByte = static_cast<unsigned char>(str[nPos + i]);
        if ((nByte & 0xC0) != 0x80) return std::nullopt;
        nCode = (nCode << 6) | (nByte & 0x3F);
    }
    if (nCode < nMin || nCode > 0x10FFFF || IsSurrogate(nCode)) return std::nullopt;
    nPos += nMore + 1;
    return nCode;
}

std::optional<std::wstring> WideFromUtf8(std::string_view str)
{
    std::wstring strOut;
    for (std::size_t nPos = 0; nPos < str.size();)
    {
        const auto nCode = DecodeUtf8(str, nPos);
        if (!nCode) return std::nullopt;
        strOut.push_back(static_cast<wchar_t>(*nCode));
    }
    return strOut;
}

int HexDigit(char ch)
{
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    return -1;
}

// 1 to 8 hex digits, nothing else.
std::optional<std::uint32_t> ParseHex32(std::string_view str)
{
    if (str.empty() || str.size() > 8) return std::nullopt;
    std::uint32_t nValue = 0;
    for (char ch : str)
    {
        const int nDigit = HexDigit(ch);
        if (nDigit < 0) return std::nullopt;
        nValue = (nValue << 4) | static_cast<std::uint32_t>(nDigit);
    }
    return nValue;
}

std::string_view Trim(std::string_view str)
{
    const auto fSpace = [](char ch) { return ch == ' ' || ch == '\t' || ch == '\r'; };
    while (!str.empty() && fSpace(str.front()))
        str.remove_prefix(1);
    while (!str.empty() && fSpace(str.back()))
        str.remove_suffix(1);
    return str;
}

void AppendQuoted(std::string& strOut, std::wstring_view str)
{
    strOut += '"';
    for (wchar_t ch : str)
    {
        const auto nCode = static_cast<std::uint32_t>(ch);
        if (ch == L'"')
            strOut += "\\\"";
        else if (ch == L'\\')
            strOut += "\\\\";
        else if (ch == L'\n')
            strOut += "\\n";
        else if (ch == L'\r')
            strOut += "\\r";
        else if (ch == L'\t')
            strOut += "\\t";
        else if (IsControl(nCode) || IsSurrogate(nCode))
        {
            char szEscape[8];
            std::snprintf(szEscape, sizeof szEscape, "\\u%04X", static_cast<unsigned>(nCode));
            strOut += szEscape;
        }
        else
            AppendUtf8(strOut, nCode);
    }
    strOut += '"';
}

// A quoted text starting at str[nPos]; nPos moves past the closing quote.
std::optional<std::wstring> ParseQuoted(std::string_view str, std::size_t& nPos)
{
    if (nPos >= str.size() || str[nPos] != '"') return std::nullopt;
    ++nPos;
    std::wstring strText;
    while (nPos < str.size())
    {
        const char ch = str[nPos];
        if (ch == '"')
        {
            ++nPos;
            return strText;
        }
        if (ch == '\\')
        {
            if (nPos + 1 >= str.size()) return std::nullopt;
            const char chEscape = str[nPos + 1];
            nPos += 2;
            switch (chEscape)
            {
            case '"':
            case '\\':
                strText.push_back(static_cast<wchar_t>(chEscape));
                break;
            case 'n':
                strText.push_back(L'\n');
                break;
            case 'r':
                strText.push_back(L'\r');
                break;
            case 't':
                strText.push_back(L'\t');
                break;
            case 'u':
            {
                if (nPos + 4 > str.size()) return std::nullopt;
                const auto nCode = ParseHex32(str.substr(nPos, 4));
                if (!nCode) return std::nullopt;
                strText.push_back(static_cast<wchar_t>(*nCode));
                nPos += 4;
                break;
            }
            default:
                return std::nullopt;
            }
            continue;
        }
        if (IsControl(static_cast<unsigned char>(ch))) return std::nullopt;
        const auto nCode = DecodeUtf8(str, nPos);
        if (!nCode) return std::nullopt;
        strText.push_back(static_cast<wchar_t>(*nCode));
    }
    return std::nullopt;
}

// ---- Values in the file

// REG_SZ data that the quoted form gives back byte for byte: whole units, one zero unit at the end, no other.
std::optional<std::wstring> QuotableText(const std::vector<std::uint8_t>& vData)
{
    if (vData.size() < 2 || vData.size() % 2 != 0) return std::nullopt;
    std::u16string units = Utf16FromLeBytes(vData);
    if (units.back() != 0) return std::nullopt;
    units.pop_back();
    if (units.find(u'\0') != std::u16string::npos) return std::nullopt;
    return WideFromUtf16(units);
}

std::vector<std::uint8_t> SzData(std::wstring_view str)
{
    std::vector<std::uint8_t> vData;
    // The callers have checked that every character lies below U+110000.
    AppendUtf16Le(vData, Utf16FromWide(str).value_or(std::u16string()));
    vData.push_back(0);
    vData.push_back(0);
    return vData;
}

std::string FormatValue(const CRegValue& value)
{
    std::string str;
    char szNumber[16];
    if (value.nType == REG_DWORD && value.vData.size() == 4)
    {
        const std::uint32_t nValue = value.vData[0] | (value.vData[1] << 8) | (value.vData[2] << 16) |
                                     (static_cast<std::uint32_t>(value.vData[3]) << 24);
        std::snprintf(szNumber, sizeof szNumber, "%08x", static_cast<unsigned>(nValue));
        return str + "dword:" + szNumber;
    }
    if (value.nType == REG_SZ)
    {
        if (const auto strText = QuotableText(value.vData))
        {
            AppendQuoted(str, *strText);
            return str;
        }
    }
    if (value.nType == REG_BINARY)
        str = "hex:";
    else
    {
        std::snprintf(szNumber, sizeof szNumber, "%x", static_cast<unsigned>(value.nType));
        str = std::string("hex(") + szNumber + "):";
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    str.reserve(str.size() + value.vData.size() * 3);
    for (std::size_t i = 0; i < value.vData.size(); ++i)
    {
        if (i > 0) str += ',';
        str += kDigits[value.vData[i] >> 4];
        str += kDigits[value.vData[i] & 0x0F];
    }
    return str;
}

std::optional<std::vector<std::uint8_t>> ParseHexList(std::string_view str)
{
    std::vector<std::uint8_t> vData;
    if (Trim(str).empty()) return vData;
    while (true)
    {
        const std::size_t nComma = str.find(',');
        const std::string_view strByte = Trim(str.substr(0, nComma));
        if (strByte.size() != 2 || HexDigit(strByte[0]) < 0 || HexDigit(strByte[1]) < 0) return std::nullopt;
        vData.push_back(static_cast<std::uint8_t>(HexDigit(strByte[0]) * 16 + HexDigit(strByte[1])));
        if (nComma == std::string_view::npos) return vData;
        str.remove_prefix(nComma + 1);
    }
}

std::optional<CRegValue> ParseValue(std::string_view str)
{
    if (str.starts_with('"'))
    {
        std::size_t nPos = 0;
        const auto strText = ParseQuoted(str, nPos);
        if (!strText || nPos != str.size()) return std::nullopt;
        return CRegValue{REG_SZ, SzData(*strText)};
    }
    if (str.starts_with("dword:"))
    {
        const auto nValue = ParseHex32(str.substr(6));
        if (!nValue) return std::nullopt;
        return CRegValue{REG_DWORD,
                         {static_cast<std::uint8_t>(*nValue), static_cast<std::uint8_t>(*nValue >> 8),
                          static_cast<std::uint8_t>(*nValue >> 16), static_cast<std::uint8_t>(*nValue >> 24)}};
    }
    std::uint32_t nType = REG_BINARY;
    if (str.starts_with("hex:"))
        str.remove_prefix(4);
    else if (str.starts_with("hex("))
    {
        const std::size_t nClose = str.find("):");
        if (nClose == std::string_view::npos) return std::nullopt;
        const auto nParsed = ParseHex32(str.substr(4, nClose - 4));
        if (!nParsed) return std::nullopt;
        nType = *nParsed;
        str.remove_prefix(nClose + 2);
    }
    else
        return std::nullopt;
    auto vData = ParseHexList(str);
    if (!vData) return std::nullopt;
    return CRegValue{nType, std::move(*vData)};
}

// ---- The document: every key and value of the file

struct CEntry
{
    std::wstring strName;
    std::wstring strFolded;
    CRegValue value;
};

struct CKey
{
    std::wstring strPath;
    std::wstring strFolded;
    std::vector<CEntry> vEntries;

    CEntry* Find(std::wstring_view strName)
    {
        const std::wstring strFoldedName = FoldCase(strName);
        for (CEntry& entry : vEntries)
            if (entry.strFolded == strFoldedName) return &entry;
        return nullptr;
    }

    // True when the key changed.
    bool Set(const std::wstring& strName, CRegValue value)
    {
        if (CEntry* pEntry = Find(strName))
        {
            if (pEntry->strName == strName && pEntry->value == value) return false;
            pEntry->strName = strName;
            pEntry->value = std::move(value);
            return true;
        }
        vEntries.push_back(CEntry{strName, FoldCase(strName), std::move(value)});
        return true;
    }

    bool Erase(std::wstring_view strName)
    {
        const std::wstring strFoldedName = FoldCase(strName);
        for (auto it = vEntries.begin(); it != vEntries.end(); ++it)
            if (it->strFolded == strFoldedName)
            {
                vEntries.erase(it);
                return true;
            }
        return false;
    }
};

struct CDocument
{
    std::vector<CKey> vKeys;

    CKey* FindKey(std::wstring_view strPath)
    {
        const std::wstring strFolded = FoldCase(strPath);
        for (CKey& key : vKeys)
            if (key.strFolded == strFolded) return &key;
        return nullptr;
    }

    CKey& OpenOrCreateKey(const std::wstring& strPath)
    {
        if (CKey* pKey = FindKey(strPath)) return *pKey;
        vKeys.push_back(CKey{strPath, FoldCase(strPath), {}});
        return vKeys.back();
    }
};

// Name and value of a line "name"=value or @=value.
std::optional<std::pair<std::wstring, CRegValue>> ParseValueLine(std::string_view strLine)
{
    std::wstring strName;
    std::size_t nPos = 0;
    if (strLine.starts_with('@'))
        nPos = 1;
    else
    {
        auto strParsed = ParseQuoted(strLine, nPos);
        if (!strParsed) return std::nullopt;
        strName = std::move(*strParsed);
    }
    const std::string_view strRest = Trim(strLine.substr(nPos));
    if (!strRest.starts_with('=')) return std::nullopt;
    auto value = ParseValue(Trim(strRest.substr(1)));
    if (!value) return std::nullopt;
    return std::make_pair(std::move(strName), std::move(*value));
}

// Reads every line it can; returns how many it could not. Comments (";", "#"), blank lines and the header line
// of a .reg export are skipped; a hex list ending in ",\" goes on in the next line, as .reg exports wrap them.
// Values before the first valid section belong nowhere and count as unreadable. A repeated name replaces the
// earlier value, as an import would.
std::size_t ParseDocument(std::string_view strText, CDocument& doc)
{
    if (strText.starts_with("\xEF\xBB\xBF")) strText.remove_prefix(3);
    std::size_t nBad = 0;
    constexpr std::size_t kNoKey = static_cast<std::size_t>(-1);
    std::size_t nKey = kNoKey;
    std::size_t nPos = 0;
    const auto fnNextLine = [&]()
    {
        std::size_t nEnd = strText.find('\n', nPos);
        if (nEnd == std::string_view::npos) nEnd = strText.size();
        const std::string_view strLine = Trim(strText.substr(nPos, nEnd - nPos));
        nPos = nEnd + 1;
        return strLine;
    };
    while (nPos < strText.size())
    {
        std::string strLine(fnNextLine());
        while (strLine.ends_with(",\\") && nPos < strText.size())
        {
            strLine.pop_back();
            strLine += fnNextLine();
        }
        if (strLine.empty() || strLine[0] == ';' || strLine[0] == '#' || strLine == "REGEDIT4" ||
            strLine.starts_with("Windows Registry Editor Version "))
            continue;
        if (strLine[0] == '[')
        {
            nKey = kNoKey;
            if (strLine.size() >= 2 && strLine.back() == ']')
            {
                const auto strPath = WideFromUtf8(std::string_view(strLine).substr(1, strLine.size() - 2));
                if (strPath && IsValidKeyPath(*strPath))
                {
                    CKey& key = doc.OpenOrCreateKey(*strPath);
                    nKey = static_cast<std::size_t>(&key - doc.vKeys.data());
                    continue;
                }
            }
            ++nBad;
            continue;
        }
        auto entry = ParseValueLine(strLine);
        if (!entry || nKey == kNoKey)
        {
            ++nBad;
            continue;
        }
        doc.vKeys[nKey].Set(entry->first, std::move(entry->second));
    }
    return nBad;
}

std::string SerializeDocument(const CDocument& doc)
{
    std::string strText = kHeader;
    for (const CKey& key : doc.vKeys)
    {
        strText += "\n[" + Utf8FromWide(key.strPath) + "]\n";
        for (const CEntry& entry : key.vEntries)
        {
            if (entry.strName.empty())
                strText += '@';
            else
                AppendQuoted(strText, entry.strName);
            strText += '=';
            strText += FormatValue(entry.value);
            strText += '\n';
        }
    }
    return strText;
}

// ---- Files

class CFd
{
public:
    explicit CFd(int nFd = -1) : m_nFd(nFd) {}
    ~CFd() { Close(); }
    CFd(CFd&& other) noexcept : m_nFd(std::exchange(other.m_nFd, -1)) {}
    CFd& operator=(CFd&&) = delete;

    int Get() const { return m_nFd; }
    bool IsOpen() const { return m_nFd >= 0; }
    // False when close reports an error (for a written file: the data may be lost).
    bool Close()
    {
        const int nFd = std::exchange(m_nFd, -1);
        return nFd < 0 || ::close(nFd) == 0;
    }

private:
    int m_nFd;
};

std::wstring WideFromPath(const std::string& strPath)
{
    return QFile::decodeName(strPath.c_str()).toStdWString();
}

std::string HomeFolder()
{
    if (const char* pszHome = std::getenv("HOME"); pszHome && *pszHome) return pszHome;
    struct passwd pw
    {
    };
    struct passwd* pResult = nullptr;
    std::vector<char> vBuffer(16384);
    if (getpwuid_r(getuid(), &pw, vBuffer.data(), vBuffer.size(), &pResult) == 0 && pResult && pResult->pw_dir)
        return pResult->pw_dir;
    return {};
}

std::string ParentFolder(const std::string& strPath)
{
    const std::size_t nSlash = strPath.rfind('/');
    if (nSlash == std::string::npos) return ".";
    if (nSlash == 0) return "/";
    return strPath.substr(0, nSlash);
}

// Creates the missing folders of the path, each private to the user; existing ones are left as they are.
bool EnsureFolder(const std::string& strFolder)
{
    struct stat st
    {
    };
    if (::stat(strFolder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    if (errno != ENOENT) return false;
    const std::string strParent = ParentFolder(strFolder);
    if (strParent != strFolder && !EnsureFolder(strParent)) return false;
    if (::mkdir(strFolder.c_str(), 0700) == 0)
        return ::chmod(strFolder.c_str(), 0700) == 0; // the umask may have taken bits away
    return errno == EEXIST;
}

bool WriteAll(int nFd, std::string_view str)
{
    while (!str.empty())
    {
        const ssize_t nWritten = ::write(nFd, str.data(), str.size());
        if (nWritten < 0)
        {
            if (errno == EINTR) continue;
            return false;
        }
        str.remove_prefix(static_cast<std::size_t>(nWritten));
    }
    return true;
}

void SyncFolder(const std::string& strFolder)
{
    CFd fd(::open(strFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.IsOpen()) ::fsync(fd.Get());
}

// The file is always 0600, whatever the umask: it holds passwords.
CFd CreatePrivateFile(const std::string& strPath, int nFlags)
{
    CFd fd(::open(strPath.c_str(), nFlags | O_CLOEXEC | O_NOFOLLOW, 0600));
    struct stat st
    {
    };
    if (fd.IsOpen() && ::fstat(fd.Get(), &st) == 0 && (st.st_mode & 07777) != 0600) ::fchmod(fd.Get(), 0600);
    return fd;
}

CFd LockFile(const std::string& strPath)
{
    CFd fd = CreatePrivateFile(strPath + ".lock", O_RDWR | O_CREAT);
    if (!fd.IsOpen()) return fd;
    const auto tEnd = std::chrono::steady_clock::now() + kLockWait;
    while (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0)
    {
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= tEnd) return CFd();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return fd;
}

enum class ERead
{
    Ok,
    Missing,
    Failed
};

ERead ReadWholeFile(const std::string& strPath, std::string& strBytes, struct stat& st)
{
    CFd fd(::open(strPath.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.IsOpen()) return errno == ENOENT ? ERead::Missing : ERead::Failed;
    if (::fstat(fd.Get(), &st) != 0) return ERead::Failed;
    char szBuffer[65536];
    while (true)
    {
        const ssize_t nRead = ::read(fd.Get(), szBuffer, sizeof szBuffer);
        if (nRead < 0)
        {
            if (errno == EINTR) continue;
            return ERead::Failed;
        }
        if (nRead == 0) return ERead::Ok;
        strBytes.append(szBuffer, static_cast<std::size_t>(nRead));
    }
}

// Temporary file in the same folder, fsync, rename over the file, fsync the folder: a crash at any moment leaves
// the old file or the new one. The temporary name is fixed; only the holder of the lock uses it, and a leftover
// of a killed writer is simply truncated.
bool WriteFileAtomically(const std::string& strPath, const std::string& strText)
{
    const std::string strTemp = strPath + ".tmp";
    CFd fd = CreatePrivateFile(strTemp, O_WRONLY | O_CREAT | O_TRUNC);
    if (!fd.IsOpen()) return false;
    const bool fWritten = WriteAll(fd.Get(), strText) && ::fsync(fd.Get()) == 0;
    if (!fd.Close() || !fWritten || ::rename(strTemp.c_str(), strPath.c_str()) != 0)
    {
        ::unlink(strTemp.c_str());
        return false;
    }
    SyncFolder(ParentFolder(strPath));
    return true;
}

std::string TimestampSuffix()
{
    const std::time_t tNow = std::time(nullptr);
    std::tm tmNow{};
    localtime_r(&tNow, &tmNow);
    char szStamp[32];
    std::strftime(szStamp, sizeof szStamp, "%Y%m%d-%H%M%S", &tmNow);
    return szStamp;
}

// Keeps the bytes of an unreadable file beside it before anything may replace it.
bool WriteBackup(const std::string& strPath, const std::string& strBytes, std::string& strBackup, int& nError)
{
    const std::string strBase = strPath + ".broken-" + TimestampSuffix();
    for (int nTry = 1; nTry <= 100; ++nTry)
    {
        const std::string strName = nTry == 1 ? strBase : strBase + "-" + std::to_string(nTry);
        if (nTry == 1) strBackup = strName;
        CFd fd = CreatePrivateFile(strName, O_WRONLY | O_CREAT | O_EXCL);
        if (!fd.IsOpen())
        {
            nError = errno;
            if (nError == EEXIST) continue;
            return false;
        }
        strBackup = strName;
        const bool fWritten = WriteAll(fd.Get(), strBytes) && ::fsync(fd.Get()) == 0;
        if (!fd.Close() || !fWritten)
        {
            nError = errno;
            ::unlink(strName.c_str());
            return false;
        }
        SyncFolder(ParentFolder(strPath));
        return true;
    }
    return false;
}

// Broken files this process has met, by identity, and whether a copy of each was kept. The user hears of each
// broken file once; a file we rewrite is a new file.
using CFileIdentity = std::tuple<dev_t, ino_t, off_t, std::int64_t, std::int64_t>;
std::mutex g_mutexBroken;
std::map<CFileIdentity, bool> g_mapBroken;

// Whether the file may be replaced; strReport receives the text for the user, if any.
bool HandleBrokenFile(const std::string& strPath, const std::string& strBytes, const struct stat& st,
                      std::wstring& strReport)
{
    const CFileIdentity id{st.st_dev, st.st_ino, st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
    std::lock_guard lock(g_mutexBroken);
    const auto it = g_mapBroken.find(id);
    if (it != g_mapBroken.end() && it->second) return true;
    std::string strBackup;
    int nError = 0;
    const bool fCopied = WriteBackup(strPath, strBytes, strBackup, nError);
    if (it == g_mapBroken.end())
    {
        const std::wstring strFile =
            L"The settings file \"" + WideFromPath(strPath) + L"\" contains lines that cannot be read";
        if (fCopied)
            strReport = strFile + L". A copy of it was kept as \"" + WideFromPath(strBackup) +
                        L"\". The program goes on with the settings it could read; the unreadable lines are left "
                        L"out when the settings are next saved.";
        else
            strReport = strFile + L", and no copy of it could be kept as \"" + WideFromPath(strBackup) + L"\" (" +
                        QString::fromStdString(std::generic_category().message(nError)).toStdWString() +
                        L"). The program goes on with the settings it could read and leaves the file unchanged.";
    }
    g_mapBroken[id] = fCopied;
    return fCopied;
}

// Runs fnChange on the document of the file under the lock and writes the file when fnChange reports a change.
// Without fCreateFolder a missing folder is an empty registry and nothing is created. False when the file could
// not be read, locked or written.
bool Transact(bool fCreateFolder, const std::function<bool(CDocument&)>& fnChange)
{
    const std::string strPath = CRegistry::GetFilePath();
    if (strPath.empty()) return false;
    const std::string strFolder = ParentFolder(strPath);
    if (fCreateFolder)
    {
        if (!EnsureFolder(strFolder)) return false;
    }
    else if (struct stat st{}; ::stat(strFolder.c_str(), &st) != 0)
    {
        if (errno != ENOENT) return false;
        CDocument doc;
        fnChange(doc);
        return true;
    }

    std::wstring strReport;
    bool fResult = false;
    {
        CFd lock = LockFile(strPath);
        if (!lock.IsOpen()) return false;
        std::string strBytes;
        struct stat st
        {
        };
        const ERead read = ReadWholeFile(strPath, strBytes, st);
        if (read == ERead::Failed) return false; // never replace what we could not read
        CDocument doc;
        bool fMayWrite = true;
        if (read == ERead::Ok && ParseDocument(strBytes, doc) > 0)
            fMayWrite = HandleBrokenFile(strPath, strBytes, st, strReport);
        if (!fnChange(doc))
            fResult = true;
        else
            fResult = fMayWrite && WriteFileAtomically(strPath, SerializeDocument(doc));
    }
    // After the lock is gone: a message box may stay open for long.
    nsFTP::ReportError(strReport);
    return fResult;
}

} // namespace

std::string CRegistry::GetFilePath()
{
    if (const char* pszFile = std::getenv(kFileVariable); pszFile && *pszFile) return pszFile;
    std::string strConfig;
    if (const char* pszConfig = std::getenv("XDG_CONFIG_HOME"); pszConfig && pszConfig[0] == '/')
        strConfig = pszConfig;
    else
    {
        const std::string strHome = HomeFolder();
        if (strHome.empty()) return {};
        strConfig = strHome + "/.config";
    }
    return strConfig + "/" + kFolderName + "/" + kFileName;
}

bool CRegistry::CreateKey(const std::wstring& strKey)
{
    if (!IsValidKeyPath(strKey)) return false;
    return Transact(true,
                    [&](CDocument& doc)
                    {
                        if (doc.FindKey(strKey)) return false;
                        doc.OpenOrCreateKey(strKey);
                        return true;
                    });
}

bool CRegistry::KeyExists(const std::wstring& strKey)
{
    if (!IsValidKeyPath(strKey)) return false;
    bool fFound = false;
    const bool fRead = Transact(false,
                                [&](CDocument& doc)
                                {
                                    fFound = doc.FindKey(strKey) != nullptr;
                                    return false;
                                });
    return fRead && fFound;
}

bool CRegistry::SetValue(const std::wstring& strKey, const std::wstring& strName, std::uint32_t nType,
                         std::span<const std::uint8_t> data)
{
    if (!IsValidKeyPath(strKey) || !IsValidName(strName)) return false;
    return Transact(true,
                    [&](CDocument& doc) {
                        return doc.OpenOrCreateKey(strKey).Set(strName, CRegValue{nType, {data.begin(), data.end()}});
                    });
}

std::optional<CRegValue> CRegistry::QueryValue(const std::wstring& strKey, const std::wstring& strName)
{
    std::optional<CRegValue> value;
    if (!IsValidKeyPath(strKey)) return value;
    const bool fRead = Transact(false,
                                [&](CDocument& doc)
                                {
                                    if (CKey* pKey = doc.FindKey(strKey))
                                        if (CEntry* pEntry = pKey->Find(strName)) value = std::move(pEntry->value);
                                    return false;
                                });
    if (!fRead) value.reset();
    return value;
}

std::optional<CRegQueryInfo> CRegistry::QueryValue(const std::wstring& strKey, const std::wstring& strName,
                                                   std::span<std::uint8_t> buffer)
{
    const auto value = QueryValue(strKey, strName);
    if (!value) return std::nullopt;
    const std::size_t nCopied = std::min(buffer.size(), value->vData.size());
    std::copy_n(value->vData.begin(), nCopied, buffer.begin());
    return CRegQueryInfo{value->nType, value->vData.size(), nCopied};
}

bool CRegistry::DeleteValue(const std::wstring& strKey, const std::wstring& strName)
{
    if (!IsValidKeyPath(strKey)) return false;
    return Transact(false,
                    [&](CDocument& doc)
                    {
                        CKey* pKey = doc.FindKey(strKey);
                        return pKey && pKey->Erase(strName);
                    });
}

std::vector<std::wstring> CRegistry::EnumValueNames(const std::wstring& strKey)
{
    std::vector<std::wstring> vNames;
    if (!IsValidKeyPath(strKey)) return vNames;
    const bool fRead = Transact(false,
                                [&](CDocument& doc)
                                {
                                    if (CKey* pKey = doc.FindKey(strKey))
                                        for (CEntry& entry : pKey->vEntries)
                                            vNames.push_back(std::move(entry.strName));
                                    return false;
                                });
    if (!fRead) vNames.clear();
    return vNames;
}

bool CRegistry::SetDword(const std::wstring& strKey, const std::wstring& strName, std::uint32_t nValue)
{
    const std::uint8_t data[4] = {static_cast<std::uint8_t>(nValue), static_cast<std::uint8_t>(nValue >> 8),
                                  static_cast<std::uint8_t>(nValue >> 16), static_cast<std::uint8_t>(nValue >> 24)};
    return SetValue(strKey, strName, REG_DWORD, data);
}

std::optional<std::uint32_t> CRegistry::QueryDword(const std::wstring& strKey, const std::wstring& strName)
{
    const auto value = QueryValue(strKey, strName);
    if (!value || value->nType != REG_DWORD || value->vData.size() != 4) return std::nullopt;
    return value->vData[0] | (value->vData[1] << 8) | (value->vData[2] << 16) |
           (static_cast<std::uint32_t>(value->vData[3]) << 24);
}

bool CRegistry::SetString(const std::wstring& strKey, const std::wstring& strName, const std::wstring& strValue)
{
    if (!IsValidName(strValue)) return false;
    return SetValue(strKey, strName, REG_SZ, SzData(strValue));
}

std::optional<std::wstring> CRegistry::QueryString(const std::wstring& strKey, const std::wstring& strName)
{
    const auto value = QueryValue(strKey, strName);
    if (!value || value->nType != REG_SZ) return std::nullopt;
    std::u16string units = Utf16FromLeBytes(value->vData);
    units.resize(std::min(units.size(), units.find(u'\0')));
    return WideFromUtf16(units);
}
