#pragma once
// The catalogue of sites in the registry: one REG_BINARY value per site under the Sites key, named by the
// site's label and holding its record combined byte by byte with one key byte. None of the operations shows a
// message; the site manager goes on whatever they return.

#include "SiteRecord.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class CSiteStore
{
public:
    static constexpr const wchar_t* kSitesKey = L"SOFTWARE\\Ravelin FTPClient\\Sites";
    // Both programs use this byte; changing it makes every stored site unreadable.
    static constexpr std::uint8_t kScrambleKey = 0xA7;

    CSiteStore() = default;

    // Every value name under the key, in the registry's order.
    std::vector<std::wstring> EnumSiteLabels() const;
    // The caller has filled the record with the defaults. Only a value that this program could have written
    // (REG_BINARY of exactly 1192 bytes) replaces them: anything else under the key, written by hand or by
    // another program, is no site and leaves the defaults, so it can be seen in the list and deleted or saved
    // over. True when the record was read.
    bool LoadSite(const std::wstring& strLabel, CSiteRecord& record) const;
    // Creates the value or replaces one whose name matches letter case aside (the new spelling is kept).
    bool SaveSite(const std::wstring& strLabel, const CSiteRecord& record) const;
    // A missing value is no error.
    bool DeleteSite(const std::wstring& strLabel) const;

    // Scrambling and unscrambling are the same step.
    static void Scramble(std::span<std::uint8_t> bytes, std::uint8_t nKey);

private:
    std::uint8_t m_nKey = kScrambleKey;
};
