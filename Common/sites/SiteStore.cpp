#include "SiteStore.h"

#include "platform/Registry.h"

#include <algorithm>

std::vector<std::wstring> CSiteStore::EnumSiteLabels() const
{
    return CRegistry::EnumValueNames(kSitesKey);
}

bool CSiteStore::LoadSite(const std::wstring& strLabel, CSiteRecord& record) const
{
    CSiteRecord::CBytes vBuffer{};
    const auto info = CRegistry::QueryValue(kSitesKey, strLabel, vBuffer);
    if (!info || info->nType != REG_BINARY || info->nFullSize != CSiteRecord::kSize) return false;
    Scramble(vBuffer, m_nKey);
    record.Bytes() = vBuffer;
    return true;
}

bool CSiteStore::SaveSite(const std::wstring& strLabel, const CSiteRecord& record) const
{
    CSiteRecord::CBytes vScrambled = record.Bytes();
    Scramble(vScrambled, m_nKey);
    return CRegistry::SetValue(kSitesKey, strLabel, REG_BINARY, vScrambled);
}

bool CSiteStore::DeleteSite(const std::wstring& strLabel) const
{
    return CRegistry::DeleteValue(kSitesKey, strLabel);
}

void CSiteStore::Scramble(std::span<std::uint8_t> bytes, std::uint8_t nKey)
{
    for (std::uint8_t& nByte : bytes)
        nByte ^= nKey;
}
