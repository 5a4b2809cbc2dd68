#pragma once
// One entry of a remote folder listing, as the listing parser understood it. Listings hand these out through
// nsSP::RCIPtr, so one record is shared by every copy of a listing.

#include <cstdint>
#include <string>

namespace nsFTP
{

class CFTPFileStatus
{
public:
    // Empties every text and zeroes every number and flag. The texts keep their storage, so a record that is
    // reused for line after line does not allocate again.
    void Clear();

    bool operator==(const CFTPFileStatus&) const = default;

    // The name as the line gave it; for a UNIX symbolic link the whole rest of the line, " -> target" included.
    std::wstring m_strName;
    // The remote folder that was listed, exactly as the caller of the listing passed it.
    std::wstring m_strPath;
    // Can be entered with CWD (directories, and UNIX symbolic links).
    bool m_fIsDirectory = false;
    // Can be fetched with RETR (plain files, and UNIX symbolic links).
    bool m_fIsFile = false;
    // 1 when m_nSize holds a size in bytes.
    std::int32_t m_nSizeKnown = 0;
    // Bytes; -1 when the UNIX size column was not a number; 0 when unknown.
    std::int64_t m_nSize = 0;
    // Seconds since 1970-01-01 00:00 UTC; 0 when the line gave no usable date.
    std::int64_t m_tModified = 0;
    // UNIX permission text, the first column (drwxr-xr-x); empty for other layouts.
    std::wstring m_strAttributes;
    std::wstring m_strOwner;
    // Only when the column after the owner is not a number.
    std::wstring m_strGroup;
    // The UNIX second column: the link count, or the word some servers put there instead.
    std::wstring m_strLinks;
    // 1 when the line carried a unique identifier (EPLF only).
    std::int32_t m_nIdKnown = 0;
    std::wstring m_strId;
};

} // namespace nsFTP
