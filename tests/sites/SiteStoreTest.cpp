#include "sites/SiteStore.h"

#include "platform/Registry.h"
#include "platform/TempRegistry.h"

#include <gtest/gtest.h>

namespace
{

static_assert(CSiteStore::kScrambleKey != 0, "a zero key would store the plain record");

const std::wstring kKey = L"SOFTWARE\\Ravelin FTPClient\\Sites";

class SiteStoreTest : public ::testing::Test
{
protected:
    // A record with every field away from its default, the reserved ones included, and an old tail after the
    // host's terminator.
    static CSiteRecord UnusualRecord(const std::wstring& strLabel)
    {
        CSiteRecord record;
        record.SetLabel(strLabel);
        record.SetHost(L"ftp.example.org");
        record.Bytes()[CSiteRecord::kOffsetHost + 40] = 0x77;
        record.SetPort(70000);
        record.SetPassive(false);
        record.SetLogin(L"jörg");
        record.SetPassword(L"pässwörd 😀");
        record.SetAnonymous(true);
        record.SetReserved1(0x7FFFFFFF);
        record.SetReserved2(-3);
        record.SetReserved3(0x13579BDF);
        record.SetReservedText(L"réservé");
        record.SetReserved4(-1);
        record.SetTimeout(4'000'000'000u);
        record.SetFtpDirectory(std::wstring(95, L'd'));
        record.SetKeepAlive(false);
        record.SetReserved5(0x0BADF00D);
        return record;
    }

    CTempRegistry m_registry;
    CSiteStore m_store;
};

TEST_F(SiteStoreTest, SavedRecordLoadsBackByteForByte)
{
    const CSiteRecord saved = UnusualRecord(L"Home");
    const CSiteRecord copy = saved;
    ASSERT_TRUE(m_store.SaveSite(saved.GetLabel(), saved));
    EXPECT_EQ(saved, copy); // scrambling works on a copy

    CSiteRecord loaded;
    ASSERT_TRUE(m_store.LoadSite(L"Home", loaded));
    EXPECT_EQ(loaded.Bytes(), saved.Bytes());
    EXPECT_EQ(loaded.GetFtpDirectory(), std::wstring(95, L'd'));
    EXPECT_EQ(loaded.GetPassword(), L"pässwörd 😀");
}

TEST_F(SiteStoreTest, StoredValueIsTheRecordCombinedWithTheKeyByte)
{
    const CSiteRecord record = UnusualRecord(L"Home");
    ASSERT_TRUE(m_store.SaveSite(L"Home", record));
    const auto value = CRegistry::QueryValue(kKey, L"Home");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->nType, REG_BINARY);
    ASSERT_EQ(value->vData.size(), CSiteRecord::kSize);
    for (std::size_t i = 0; i < CSiteRecord::kSize; ++i)
        ASSERT_EQ(value->vData[i], record.Bytes()[i] ^ CSiteStore::kScrambleKey) << i;
}

TEST_F(SiteStoreTest, SavingUnderTheSameLabelInOtherCaseReplacesTheSite)
{
    CSiteRecord first;
    first.SetLabel(L"Home");
    first.SetHost(L"old.example.org");
    ASSERT_TRUE(m_store.SaveSite(L"Home", first));
    ASSERT_TRUE(m_store.SaveSite(L"Work", CSiteRecord()));
    CSiteRecord second;
    second.SetLabel(L"HOME");
    second.SetHost(L"new.example.org");
    ASSERT_TRUE(m_store.SaveSite(L"HOME", second));

    EXPECT_EQ(m_store.EnumSiteLabels(), (std::vector<std::wstring>{L"HOME", L"Work"}));
    CSiteRecord loaded;
    ASSERT_TRUE(m_store.LoadSite(L"home", loaded));
    EXPECT_EQ(loaded, second);
}

TEST_F(SiteStoreTest, EmptyLabelIsAValidSite)
{
    CSiteRecord record;
    record.SetHost(L"unnamed.example.org");
    ASSERT_TRUE(m_store.SaveSite(L"", record));
    ASSERT_TRUE(m_store.SaveSite(L"Named", CSiteRecord()));
    EXPECT_EQ(m_store.EnumSiteLabels(), (std::vector<std::wstring>{L"", L"Named"}));
    CSiteRecord loaded;
    ASSERT_TRUE(m_store.LoadSite(L"", loaded));
    EXPECT_EQ(loaded, record);
}

TEST_F(SiteStoreTest, MissingSiteLeavesTheDefaults)
{
    CSiteRecord record;
    EXPECT_FALSE(m_store.LoadSite(L"Nowhere", record)); // no key at all yet
    EXPECT_EQ(record, CSiteRecord());
    EXPECT_TRUE(m_store.EnumSiteLabels().empty());

    ASSERT_TRUE(m_store.SaveSite(L"Gone", UnusualRecord(L"Gone")));
    ASSERT_TRUE(m_store.DeleteSite(L"GONE"));
    EXPECT_TRUE(m_store.DeleteSite(L"Gone")); // already missing: no error
    EXPECT_FALSE(m_store.LoadSite(L"Gone", record));
    EXPECT_EQ(record, CSiteRecord());
    EXPECT_EQ(record.GetPort(), 21);
    EXPECT_TRUE(record.GetPassive());
    EXPECT_EQ(record.GetTimeout(), 10u);
    EXPECT_TRUE(record.GetKeepAlive());
    EXPECT_EQ(record.GetLabel(), L"");
}

TEST_F(SiteStoreTest, ValuesThisProgramDidNotWriteLoadAsDefaults)
{
    const struct
    {
        const wchar_t* pszName;
        std::uint32_t nType;
        std::size_t nSize;
    } kCases[] = {
        {L"dword", REG_DWORD, 4},
        {L"short", REG_BINARY, CSiteRecord::kSize - 1},
        {L"long", REG_BINARY, CSiteRecord::kSize + 1},
        {L"text", REG_SZ, CSiteRecord::kSize},
        {L"empty", REG_BINARY, 0},
    };
    std::vector<std::wstring> vNames;
    for (const auto& c : kCases)
    {
        ASSERT_TRUE(CRegistry::SetValue(kKey, c.pszName, c.nType, std::vector<std::uint8_t>(c.nSize, 0x41)));
        vNames.push_back(c.pszName);
    }
    EXPECT_EQ(m_store.EnumSiteLabels(), vNames); // listed, so the user can delete them
    for (const auto& c : kCases)
    {
        SCOPED_TRACE(c.nSize);
        CSiteRecord record;
        EXPECT_FALSE(m_store.LoadSite(c.pszName, record));
        EXPECT_EQ(record, CSiteRecord());
    }
}

} // namespace
