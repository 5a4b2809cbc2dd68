#pragma once
// Modification times as the user reads them: local time, in the locale's own date and time ("%x %X").

#include "FileTime.h"

#include <ctime>
#include <string>

// At most 127 characters. Times before the year 1900 show as time zero (1970-01-01 00:00 UTC); a time that
// cannot be broken down or formatted gives an empty text. Follows the process's LC_TIME and TZ as they are now.
std::wstring FormatLocalTimeText(FILETIME ftUtc);
// The same for seconds since 1970 UTC.
std::wstring FormatLocalTimeText(std::time_t nTime);
