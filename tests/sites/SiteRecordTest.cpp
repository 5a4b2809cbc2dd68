#include "sites/SiteRecord.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{

using EText = CSiteRecord::EText;

constexpr EText kTexts[] = {EText::Label,    EText::Host,         EText::Login,
                            EText::Password, EText::ReservedText, EText::FtpDirectory};

std::uint32_t LittleEndianAt(const CSiteRecord::CBytes& bytes, std::size_t nOffset)
{
    return bytes[nOffset] | (bytes[nOffset + 1] << 8) | (bytes[nOffset + 2] << 16) |
           (static_cast<std::uint32_t>(bytes[nOffset + 3]) << 24);
}

// Offsets at which two records differ.
std::vector<std::size_t> Differences(const CSiteRecord& a, const CSiteRecord& b)
{
    std::vector<std::size_t> vOffsets;
    for (std::size_t i = 0; i < CSiteRecord::kSize; ++i)
        if (a.Bytes()[i] != b.Bytes()[i]) vOffsets.push_back(i);
    return vOffsets;
}

TEST(SiteRecordTest, DefaultRecordIsZeroWithTheFiveDefaults)
{
    CSiteRecord::CBytes expected{};
    expected[384] = 21; // port
    expected[388] = 1;  // passive
    expected[784] = 1;  // reserved 2
    expected[988] = 10; // timeout
    expected[1184] = 1; // keep connection alive
    const CSiteRecord record;
    EXPECT_EQ(record.Bytes(), expected);
    EXPECT_EQ(sizeof(record.Bytes()), 1192u);

    CSiteRecord changed;
    changed.SetHost(L"example.org");
    changed.SetPort(70000);
    changed.SetDefaults();
    EXPECT_EQ(changed, record);
}

TEST(SiteRecordTest, IntegersAreLittleEndianAtTheirOffsets)
{
    const struct
    {
        const char* pszField;
        std::size_t nOffset;
        std::function<void(CSiteRecord&)> fnSet;
        std::uint32_t nStored;
    } kCases[] = {
        {"port", 384, [](CSiteRecord& r) { r.SetPort(70000); }, 70000},
        {"port, negative", 384, [](CSiteRecord& r) { r.SetPort(-2); }, 0xFFFFFFFE},
        {"passive", 388, [](CSiteRecord& r) { r.SetPassive(false); }, 0},
        {"anonymous", 776, [](CSiteRecord& r) { r.SetAnonymous(true); }, 1},
        {"reserved 1", 780, [](CSiteRecord& r) { r.SetReserved1(0x12345678); }, 0x12345678},
        {"reserved 2", 784, [](CSiteRecord& r) { r.SetReserved2(-1); }, 0xFFFFFFFF},
        {"reserved 3", 788, [](CSiteRecord& r) { r.SetReserved3(0x0A0B0C0D); }, 0x0A0B0C0D},
        {"reserved 4", 984, [](CSiteRecord& r) { r.SetReserved4(7); }, 7},
        {"timeout", 988, [](CSiteRecord& r) { r.SetTimeout(0xFEDCBA98); }, 0xFEDCBA98},
        {"keep alive", 1184, [](CSiteRecord& r) { r.SetKeepAlive(false); }, 0},
        {"reserved 5", 1188, [](CSiteRecord& r) { r.SetReserved5(0x55AA); }, 0x55AA},
    };
    for (const auto& c : kCases)
    {
        SCOPED_TRACE(c.pszField);
        CSiteRecord record;
        c.fnSet(record);
        EXPECT_EQ(LittleEndianAt(record.Bytes(), c.nOffset), c.nStored);
        for (std::size_t nOffset : Differences(record, CSiteRecord()))
            EXPECT_TRUE(nOffset >= c.nOffset && nOffset < c.nOffset + 4) << nOffset;
    }

    CSiteRecord record;
    record.SetPort(70000);
    EXPECT_EQ(record.GetPort(), 70000); // kept as entered; the connection takes the low 16 bits
    record.SetUInt32(CSiteRecord::kOffsetPassive, 2);
    EXPECT_TRUE(record.GetPassive()); // any non-zero value counts as set
}

TEST(SiteRecordTest, TextsAreUtf16AtTheirOffsets)
{
    const std::size_t kOffsets[] = {0, 192, 392, 584, 792, 992};
    for (std::size_t i = 0; i < std::size(kTexts); ++i)
    {
        SCOPED_TRACE(CSiteRecord::FieldName(kTexts[i]));
        CSiteRecord record;
        ASSERT_TRUE(record.SetText(kTexts[i], L"Aé😀"));
        const std::uint8_t kExpected[] = {'A', 0, 0xE9, 0, 0x3D, 0xD8, 0x00, 0xDE, 0, 0};
        EXPECT_TRUE(std::equal(std::begin(kExpected), std::end(kExpected), record.Bytes().begin() + kOffsets[i]));
        for (std::size_t nOffset : Differences(record, CSiteRecord()))
            EXPECT_TRUE(nOffset >= kOffsets[i] && nOffset < kOffsets[i] + 8) << nOffset;
        EXPECT_EQ(record.GetText(kTexts[i]), L"Aé😀");
    }
}

TEST(SiteRecordTest, TextsThatDoNotFitAreRefusedAndChangeNothing)
{
    const std::wstring str95(95, L'x');
    const std::wstring str94Astral = std::wstring(94, L'x') + L"😀"; // 96 code units
    const std::wstring str93Astral = std::wstring(93, L'x') + L"😀"; // 95 code units
    const std::wstring strZero(L"ab\0cd", 5);
    for (EText eText : kTexts)
    {
        const std::wstring strField = CSiteRecord::FieldName(eText);
        SCOPED_TRACE(strField.size());
        CSiteRecord record;
        ASSERT_TRUE(record.SetText(eText, L"before"));
        const CSiteRecord before = record;

        const struct
        {
            std::wstring strText;
            std::wstring strError;
        } kRefused[] = {
            {str95 + L"x", L"The " + strField + L" is too long: at most 95 characters fit."},
            {str94Astral, L"The " + strField + L" is too long: at most 95 characters fit."},
            {strZero, L"The " + strField + L" contains a character that cannot be stored."},
            {std::wstring(1, static_cast<wchar_t>(0x110000)),
             L"The " + strField + L" contains a character that cannot be stored."},
        };
        for (const auto& c : kRefused)
        {
            std::wstring strError;
            EXPECT_FALSE(record.SetText(eText, c.strText, &strError));
            EXPECT_EQ(strError, c.strError);
            EXPECT_EQ(record, before);
        }

        for (const std::wstring& strFits : {str95, str93Astral})
        {
            ASSERT_TRUE(record.SetText(eText, strFits));
            EXPECT_EQ(record.GetText(eText), strFits);
            const auto nTerminator = static_cast<std::size_t>(eText) + 2 * 95;
            EXPECT_EQ(record.Bytes()[nTerminator], 0);
            EXPECT_EQ(record.Bytes()[nTerminator + 1], 0);
        }
    }
    EXPECT_EQ(CSiteRecord().GetHost(), L"");
}

TEST(SiteRecordTest, NewTextClearsTheOldTailButTheSameTextKeepsTheField)
{
    CSiteRecord record;
    ASSERT_TRUE(record.SetPassword(L"a long old secret"));
    ASSERT_TRUE(record.SetPassword(L"pw"));
    const auto itPassword = record.Bytes().begin() + CSiteRecord::kOffsetPassword;
    EXPECT_TRUE(std::all_of(itPassword + 4, itPassword + 192, [](std::uint8_t n) { return n == 0; }));

    // A loaded record may carry bytes after a terminator; writing back the same text must keep them.
    auto& bytes = record.Bytes();
    const std::size_t nText = CSiteRecord::kOffsetReservedText;
    bytes[nText] = 'r';
    bytes[nText + 4] = 0x5A;
    bytes[nText + 191] = 0xA5;
    const CSiteRecord loaded = record;
    ASSERT_TRUE(record.SetReservedText(record.GetReservedText()));
    EXPECT_EQ(record, loaded);
}

TEST(SiteRecordTest, FieldWithoutTerminatorReadsOnlyItsOwnUnits)
{
    CSiteRecord record;
    ASSERT_TRUE(record.SetPassword(L"next field"));
    for (std::size_t i = 0; i < CSiteRecord::kTextUnits; ++i)
        record.Bytes()[CSiteRecord::kOffsetLogin + 2 * i] = 'z';
    EXPECT_EQ(record.GetLogin(), std::wstring(96, L'z'));
}

} // namespace
