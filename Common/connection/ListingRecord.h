#pragma once
// One entry of the current remote folder, as the views show it and the remote operations act on it.

#include "platform/FileTime.h"

#include <cstdint>
#include <string>

class CListingRecord
{
public:
    std::int32_t m_nDirectory = 0; // 1 for a folder (or a link the server lets us enter)
    std::int32_t m_nLink = 0;      // 1 when the attributes begin with "l"
    std::int64_t m_nSize = 0;
    FILETIME m_ftModified{};       // the true UTC instant; convert to local time only for display
    std::wstring m_strFolderPath;  // the remote folder the entry was listed from
    std::wstring m_strDisplayName; // the name that goes into paths; for a link the part before " -> "
    std::wstring m_strRawName;     // the name as the listing gave it, " -> target" included
    std::wstring m_strAttributes;
    std::wstring m_strOwner;
};
