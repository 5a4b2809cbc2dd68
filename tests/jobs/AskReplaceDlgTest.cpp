// The replace question and the side and time texts that transfers build for it.

#include "DialogDriver.h"

#include "jobs/AskReplaceDlg.h"
#include "jobs/StaticEx.h"
#include "platform/ControlIds.h"
#include "platform/DialogBuilder.h"
#include "platform/FileTime.h"
#include "platform/Shell.h"
#include "platform/TimeText.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <optional>
#include <string>

namespace
{

using nsDialogDriver::Click;
using nsDialogDriver::Control;
using nsDialogDriver::EEnd;
using nsDialogDriver::EndDialog;
using nsDialogDriver::EtchedLineCount;
using nsDialogDriver::LabelText;
using nsDialogDriver::PressKey;
namespace ids = nsIds::AskReplaceDlg;

// ---- side texts ----

TEST(ReplaceTextTest, SideTextsShowSizeTextFullByteCountAndTime)
{
    enum class ESide
    {
        Server,
        LocalUpload,
        LocalDownload,
    };
    const struct
    {
        ESide side;
        std::int64_t nSize;
        const wchar_t* pszExpected;
    } kCases[] = {
        {ESide::Server, 1023, L"1023 B (1023 bytes)\r\nT"},
        {ESide::Server, 1024, L"1.00 Kb (1024 bytes)\r\nT"},
        {ESide::LocalUpload, 1023, L"1023 B (1023 bytes)\r\nT"},
        {ESide::LocalUpload, 1024, L"1.00 Kb (1024 bytes)\r\nT"},
        {ESide::LocalDownload, 1023, L"1023 B(1023 bytes)\r\nT"},
        {ESide::LocalDownload, 1024, L"1.00 Kb(1024 bytes)\r\nT"},
        // Beyond 32 bits the count is still the whole size.
        {ESide::Server, 5'368'709'120, L"5.00 Gb (5368709120 bytes)\r\nT"},
        {ESide::LocalDownload, 5'368'709'120, L"5.00 Gb(5368709120 bytes)\r\nT"},
    };
    for (const auto& c : kCases)
    {
        SCOPED_TRACE(c.nSize);
        std::wstring str;
        switch (c.side)
        {
        case ESide::Server:
            str = ReplaceServerText(c.nSize, L"T");
            break;
        case ESide::LocalUpload:
            str = ReplaceLocalText(c.nSize, L"T", false);
            break;
        case ESide::LocalDownload:
            str = ReplaceLocalText(c.nSize, L"T", true);
            break;
        }
        EXPECT_EQ(str, c.pszExpected);
    }
}

// ---- time texts ----

// Sets TZ and LC_TIME for one test and puts back what was there.
class CTimeZoneAndLocale
{
public:
    CTimeZoneAndLocale(const char* pszZone, const char* pszLocale)
    {
        if (const char* pszOld = std::getenv("TZ")) m_strOldZone = pszOld;
        if (const char* pszOld = std::setlocale(LC_TIME, nullptr)) m_strOldLocale = pszOld;
        setenv("TZ", pszZone, 1);
        tzset();
        m_fLocale = std::setlocale(LC_TIME, pszLocale) != nullptr;
    }
    ~CTimeZoneAndLocale()
    {
        if (m_strOldZone)
            setenv("TZ", m_strOldZone->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
        std::setlocale(LC_TIME, m_strOldLocale.c_str());
    }
    CTimeZoneAndLocale(const CTimeZoneAndLocale&) = delete;
    CTimeZoneAndLocale& operator=(const CTimeZoneAndLocale&) = delete;

    bool HasLocale() const { return m_fLocale; }

private:
    std::optional<std::string> m_strOldZone;
    std::string m_strOldLocale = "C";
    bool m_fLocale = false;
};

// New York's rules written out, so the test needs no time zone database.
constexpr const char* kNewYork = "EST5EDT,M3.2.0,M11.1.0";

TEST(ReplaceTextTest, TimeTextIsLocalTimeInTheLocalesFormat)
{
    const CTimeZoneAndLocale zone(kNewYork, "C");
    ASSERT_TRUE(zone.HasLocale());
    const struct
    {
        const char* pszName;
        std::int64_t nUnixSeconds;
        const wchar_t* pszExpected;
    } kCases[] = {
        {"summer", 1'719'835'200, L"07/01/24 08:00:00"},     // 2024-07-01 12:00 UTC
        {"winter", 1'705'320'000, L"01/15/24 07:00:00"},     // 2024-01-15 12:00 UTC
        {"year 1900", -2'207'736'000, L"01/15/00 07:00:00"}, // 1900-01-15 12:00 UTC
        {"year 1899", -2'209'032'000, L"12/31/69 19:00:00"}, // before 1900: time zero
    };
    for (const auto& c : kCases)
    {
        SCOPED_TRACE(c.pszName);
        EXPECT_EQ(FormatLocalTimeText(FileTimeFromUnixSeconds(c.nUnixSeconds)), c.pszExpected);
        EXPECT_EQ(FormatLocalTimeText(static_cast<std::time_t>(c.nUnixSeconds)), c.pszExpected);
    }
}

TEST(ReplaceTextTest, TimeThatCannotBeBrokenDownGivesEmptyText)
{
    const CTimeZoneAndLocale zone(kNewYork, "C");
    EXPECT_EQ(FormatLocalTimeText(FILETIME{kFileTimeMaxTicks + 1}), L"");
    EXPECT_EQ(FormatLocalTimeText(std::numeric_limits<std::time_t>::max()), L"");
}

TEST(ReplaceTextTest, TimeTextFollowsTheUsersLocale)
{
    const CTimeZoneAndLocale zone(kNewYork, "de_DE.UTF-8");
    if (!zone.HasLocale()) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    EXPECT_EQ(FormatLocalTimeText(static_cast<std::time_t>(1'719'835'200)), L"01.07.2024 08:00:00");
}

// ---- the dialog ----

TEST(AskReplaceDlgTest, QuestionAndIconFollowTheFolderFlag)
{
    const struct
    {
        bool fFolder;
        const char* pszName;
        const char* pszQuestion;
    } kCases[] = {
        {true, "backup", "The directory \"backup\" already exists. Would you like to replace it?"},
        {false, "report.pdf", "The file \"report.pdf\" already exists. Would you like to replace it?"},
    };
    for (const auto& c : kCases)
    {
        SCOPED_TRACE(c.pszName);
        CAskReplaceDlg dlg(nullptr, c.fFolder, c.pszName, "s", "l", EProgramKind::Desktop);
        dlg.show();
        EXPECT_EQ(LabelText(dlg, ids::kQuestion).toStdString(), c.pszQuestion);
        auto* pIcon = Control<CStaticEx>(dlg, ids::kIcon);
        ASSERT_NE(pIcon, nullptr);
        ASSERT_NE(pIcon->Icon(), nullptr);
        EXPECT_FALSE(pIcon->Icon()->isNull());
        // The shell's answer for this name and kind, which it caches, so the very same icon.
        EXPECT_EQ(pIcon->Icon()->cacheKey(),
                  nsShell::IconForName(c.pszName, c.fFolder, nsShell::EIconSize::Large).cacheKey());
    }
}

TEST(AskReplaceDlgTest, DesktopTemplateShowsBothSidesUnderTheirLabels)
{
    const QString strServer = QString::fromStdWString(ReplaceServerText(1023, L"01/02/24 03:04:05"));
    const QString strLocal = QString::fromStdWString(ReplaceLocalText(1024, L"05/06/24 07:08:09", true));
    CAskReplaceDlg dlg(nullptr, false, "a.txt", strServer, strLocal, EProgramKind::Desktop);
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), "Confirm Replace");
    EXPECT_EQ(dlg.objectName(), "132");
    EXPECT_EQ(LabelText(dlg, ids::kServerLabel), "On FTP Server:");
    EXPECT_EQ(LabelText(dlg, ids::kLocalLabel), "On Local Computer:");
    EXPECT_EQ(LabelText(dlg, ids::kServerText), "1023 B (1023 bytes)\n01/02/24 03:04:05");
    EXPECT_EQ(LabelText(dlg, ids::kLocalText), "1.00 Kb(1024 bytes)\n05/06/24 07:08:09");
    EXPECT_EQ(EtchedLineCount(dlg), 2);
    auto* pOk = Control<QPushButton>(dlg, nsIds::kOk);
    ASSERT_NE(pOk, nullptr);
    EXPECT_TRUE(pOk->isDefault());
    EXPECT_TRUE(pOk->font().bold());
    EXPECT_EQ(dlg.findChild<QToolButton*>(CDialogBuilder::kCaptionOkName), nullptr);
}

TEST(AskReplaceDlgTest, AnswersByButtonKeyAndCloseBox)
{
    const struct
    {
        const char* pszName;
        EEnd end;
        int nResult;
    } kCases[] = {
        {"OK", EEnd::OkButton, QDialog::Accepted},        {"Cancel", EEnd::CancelButton, QDialog::Rejected},
        {"Escape", EEnd::EscapeKey, QDialog::Rejected},   {"Enter", EEnd::EnterKey, QDialog::Accepted},
        {"close box", EEnd::CloseBox, QDialog::Rejected},
    };
    for (const auto& c : kCases)
    {
        SCOPED_TRACE(c.pszName);
        CAskReplaceDlg dlg(nullptr, false, "a.txt", "s", "l", EProgramKind::Desktop);
        dlg.show();
        EndDialog(dlg, c.end);
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(dlg.result(), c.nResult);
    }
}

TEST(AskReplaceDlgTest, RunsModallyAndEscapeCancels)
{
    CAskReplaceDlg dlg(nullptr, true, "docs", "s", "l", EProgramKind::Desktop);
    QTimer::singleShot(0, &dlg, [&dlg] { PressKey(dlg, Qt::Key_Escape); });
    QTimer::singleShot(5000, &dlg, &QDialog::accept); // a wrong answer, never a hang
    EXPECT_EQ(dlg.exec(), QDialog::Rejected);
}

TEST(AskReplaceDlgTest, HandheldTemplateHasItsLabelsAndConfirmsWithEnterAnywhere)
{
    CAskReplaceDlg dlg(nullptr, false, "a.txt", "s", "l", EProgramKind::Handheld);
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), "Files Exists");
    EXPECT_EQ(dlg.objectName(), "130");
    EXPECT_EQ(LabelText(dlg, ids::kServerLabel), "Remote File:");
    EXPECT_EQ(LabelText(dlg, ids::kLocalLabel), "Local File:");
    EXPECT_EQ(EtchedLineCount(dlg), 0);
    auto* pOk = Control<QPushButton>(dlg, nsIds::kOk);
    ASSERT_NE(pOk, nullptr);
    EXPECT_FALSE(pOk->isDefault());
    ASSERT_NE(dlg.findChild<QToolButton*>(CDialogBuilder::kCaptionOkName), nullptr);

    auto* pCancel = Control<QPushButton>(dlg, nsIds::kCancel);
    ASSERT_NE(pCancel, nullptr);
    pCancel->setFocus();
    PressKey(*pCancel, Qt::Key_Return);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

TEST(AskReplaceDlgTest, HandheldCaptionOkConfirms)
{
    CAskReplaceDlg dlg(nullptr, false, "a.txt", "s", "l", EProgramKind::Handheld);
    dlg.show();
    auto* pCaptionOk = dlg.findChild<QToolButton*>(CDialogBuilder::kCaptionOkName);
    ASSERT_NE(pCaptionOk, nullptr);
    pCaptionOk->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(dlg.isVisible());
}

} // namespace
