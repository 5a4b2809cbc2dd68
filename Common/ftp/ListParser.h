#pragma once
// Turns one line of a LIST answer into a file status record. Four layouts are understood: EPLF, the UNIX long
// listing (with two small variants), VMS and MS-DOS. Any other line, "total 12" headers included, is rejected.

#include "FTPFileStatus.h"

#include <string>

namespace nsFTP
{

// strLine is one listing line without its terminator, each byte mapped to the character of the same code.
// nCurrentYear (the UTC calendar year, taken once per listing) dates UNIX entries that give a time and no year.
// Returns true when the line was recognised and status filled; on false status is left cleared. A date that
// cannot be built (out of range, or beyond what the local time conversion can represent) keeps the entry with
// m_tModified 0.
bool ParseListLine(const std::wstring& strLine, CFTPFileStatus& status, int nCurrentYear);

} // namespace nsFTP
