#pragma once
// Small text functions the engine offers the rest of the program: size texts, the report of a failed system
// call, and joining a folder and a name into a path.

#include <cstdint>
#include <string>

// The size text of lists and dialogs: "512 B", "1.50 Kb", "5.00 Mb", and from 4 GiB up "4.00 Gb". Below 4 GiB
// the texts stay what they always were, up to "4096.00 Mb" just under the limit. Empty for 0, for
// 4294967295 (the old 32-bit all-bits-set "unknown") and for negative values (-1 is the unknown size). The
// decimal point is always ".", whatever the process locale says.
std::wstring FormatSizeText(std::int64_t nBytes);

// Reports the calling thread's errno with the system's text for it and the context (usually a local path):
// "Error code: <n>\n<system text>\n<context>", or "Error code: <n>\n<context>" when the system has no text.
// errno is the same afterwards.
void ShowSystemError(const std::wstring& strContext);

// The folder followed by the name, with a "/" between them unless the folder already ends in "/" or "\". An
// empty folder gives "/" and the name. Nothing else is normalised.
std::wstring JoinRemotePath(const std::wstring& strFolder, const std::wstring& strName);

// The same for local paths, which are POSIX paths here: the separator is "/", and a folder ending in "\" still
// counts as ending in a separator.
std::wstring JoinLocalPath(const std::wstring& strFolder, const std::wstring& strName);
// Local paths as the file system takes them (bytes, normally UTF-8).
std::string JoinLocalPath(const std::string& strFolder, const std::string& strName);
