// Showing the listing on real widgets: folder combo, filters, counts, columns and the target folder.

#include "LoopbackSite.h"
#include "connection/ListCtrlEx.h"
#include "connection/ServerConnection.h"
#include "fixtures/ReportRecorder.h"
#include "fixtures/ScriptedServer.h"
#include "platform/ImageList.h"
#include "platform/StatusPanes.h"

#include <QComboBox>
#include <QLineEdit>
#include <QStatusBar>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

using nsTest::CReportRecorder;
using nsTest::CScriptedServer;

namespace
{

CListingRecord Record(const std::wstring& strName, bool fFolder, std::int64_t nSize = 0, bool fLink = false)
{
    CListingRecord r;
    r.m_nDirectory = fFolder ? 1 : 0;
    r.m_nLink = fLink ? 1 : 0;
    r.m_nSize = nSize;
    r.m_strFolderPath = L"/pub";
    r.m_strRawName = strName;
    r.m_strDisplayName = strName.substr(0, strName.find(L" -> "));
    r.m_strAttributes = fLink ? L"lrwxrwxrwx" : fFolder ? L"drwxr-xr-x" : L"-rw-r--r--";
    r.m_strOwner = L"ann";
    return r;
}

QStringList ComboItems(const QComboBox& combo)
{
    QStringList v;
    for (int i = 0; i < combo.count(); ++i)
        v.append(combo.itemText(i));
    return v;
}

// The widgets a view passes in, with the desktop's filter bar controls and status panes.
class Display : public ::testing::Test
{
protected:
    Display() : m_list(EProgramKind::Desktop), m_panes(m_bar)
    {
        for (const char* szColumn : {"Name", "Time", "Size", "Attributes", "Owner"})
            m_list.InsertColumn(m_list.GetColumnCount(), QString::fromLatin1(szColumn));
        m_kind.addItems({"Show Files and Directories", "Show Only Files", "Show Only Directories"});
        m_type.addItem("Show All Types");
        m_connection.SetFilterControls(&m_text, &m_kind, &m_type);
    }
    void Show(std::vector<CListingRecord> vListing)
    {
        m_connection.SetListing(std::move(vListing));
        m_connection.ShowListing(m_folders, m_list, m_large, m_small);
    }
    QStringList Rows() const
    {
        QStringList v;
        for (int i = 0; i < m_list.GetItemCount(); ++i)
            v.append(m_list.GetItemText(i, 0));
        return v;
    }

    CReportRecorder m_report;
    CServerConnection m_connection;
    QComboBox m_folders;
    CListCtrlEx m_list;
    CImageList m_large{CImageList::kLarge};
    CImageList m_small{CImageList::kSmall};
    QLineEdit m_text;
    QComboBox m_kind;
    QComboBox m_type;
    QStatusBar m_bar;
    CStatusBarPanes m_panes;
};

// ---- folder combo (needs the engine's working folder: a scripted logon) ----

struct ComboCase
{
    const char* szName;
    const char* szHome;
    const wchar_t* szCurrent; // null: stay at home; L"": disconnect afterwards
    QStringList vItems;
    QString strSelected;
};

class FolderCombo : public ::testing::TestWithParam<ComboCase>
{
};

TEST_P(FolderCombo, ListsTheFoldersDownToTheCurrentOne)
{
    const ComboCase& c = GetParam();
    CReportRecorder report;
    CScriptedServer server;
    server.Reply("220 hi").On("USER ann", "230 in").On("PWD", std::string("257 \"") + c.szHome + "\"");
    const std::wstring strCurrent = c.szCurrent ? c.szCurrent : L"";
    if (!strCurrent.empty()) server.On("CWD " + std::string(strCurrent.begin(), strCurrent.end()), "250 ok");
    server.Start();

    CServerConnection connection;
    ASSERT_TRUE(connection.Connect(LoopbackSite(server.Port())));
    if (!strCurrent.empty())
    {
        ASSERT_TRUE(connection.ChangeFolder(strCurrent));
    }
    if (c.szCurrent && strCurrent.empty()) connection.Disconnect();

    QComboBox combo;
    connection.FillFolderCombo(combo);
    EXPECT_EQ(ComboItems(combo), c.vItems);
    EXPECT_EQ(combo.currentText(), c.strSelected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FolderCombo,
    ::testing::Values(
        ComboCase{"root", "/", nullptr, {"/"}, "/"},
        ComboCase{
            "deep", "/", L"/pub/linux/kernel", {"/", "/pub", "/pub/linux", "/pub/linux/kernel"}, "/pub/linux/kernel"},
        ComboCase{"home_not_on_the_path", "/home/ann", L"/pub", {"/home/ann", "/", "/pub"}, "/pub"},
        ComboCase{"root_with_home_elsewhere", "/home/ann", L"/", {"/home/ann", "/"}, "/"},
        ComboCase{"relative", "/home/ann", L"pub", {"/home/ann", "pub"}, "pub"},
        ComboCase{"disconnected", "/home/ann", L"", {"/home/ann", ""}, ""}),
    [](const auto& info) { return std::string(info.param.szName); });

// ---- filters ----

TEST_F(Display, TypeFilterCollectsExtensionsInListingOrder)
{
    // ".h" is not added after ".html": the combo already has an item that begins with it.
    Show({Record(L"a.HTML", false), Record(L"b.h", false), Record(L"c", false)});
    EXPECT_EQ(ComboItems(m_type), (QStringList{"Show All Types", ".html"}));
    Show({Record(L"b.h", false), Record(L"a.HTML", false), Record(L"c", false)});
    EXPECT_EQ(ComboItems(m_type), (QStringList{"Show All Types", ".h", ".html"}));
    EXPECT_EQ(Rows(), (QStringList{"b.h", "a.HTML", "c"}));
}

TEST_F(Display, SelectedTypeKeepsFoldersAndItsOwnFiles)
{
    Show({Record(L"docs", true), Record(L"notes.TXT", false), Record(L"readme", false), Record(L"a.html", false)});
    m_type.setCurrentIndex(m_type.findText(".txt"));
    ASSERT_GT(m_type.currentIndex(), 0);
    Show(m_connection.GetListing());
    EXPECT_EQ(Rows(), (QStringList{"docs", "notes.TXT"}));
    // While a type is selected the collected types stay as they are.
    EXPECT_EQ(ComboItems(m_type), (QStringList{"Show All Types", ".txt", ".html"}));
}

TEST_F(Display, KindFilterLooksAtTheFolderFlagOnly)
{
    const std::vector<CListingRecord> vListing = {Record(L"docs", true), Record(L"file.txt", false),
                                                  Record(L"flink -> f", false, 1, true),
                                                  Record(L"dlink -> d", true, 1, true)};
    struct
    {
        int nKind;
        QStringList vRows;
    } const kCases[] = {
        {0, {"docs", "file.txt", "flink -> f", "dlink -> d"}},
        {1, {"file.txt", "flink -> f"}},
        {2, {"docs", "dlink -> d"}},
    };
    for (const auto& c : kCases)
    {
        m_kind.setCurrentIndex(c.nKind);
        Show(vListing);
        EXPECT_EQ(Rows(), c.vRows) << c.nKind;
    }
}

TEST_F(Display, TextFilterIgnoresCaseButKeepsItsBlanks)
{
    const std::vector<CListingRecord> vListing = {Record(L"changelog.txt", false), Record(L"Logs", true),
                                                  Record(L"my file", false), Record(L" padded ", false),
                                                  Record(L"other", false)};
    struct
    {
        const char* szText;
        QStringList vRows;
    } const kCases[] = {
        {"LOG", {"changelog.txt", "Logs"}},
        {" ", {"my file"}}, // the name is trimmed first, so only inner blanks match
        {"", {"changelog.txt", "Logs", "my file", " padded ", "other"}},
        {"zzz", {}},
    };
    for (const auto& c : kCases)
    {
        m_text.setText(c.szText);
        Show(vListing);
        EXPECT_EQ(Rows(), c.vRows) << c.szText;
    }
}

TEST_F(Display, FileWithoutExtensionIsHiddenByATypeAndAddsNone)
{
    Show({Record(L"readme", false)});
    EXPECT_EQ(ComboItems(m_type), QStringList{"Show All Types"});
    m_type.addItem(".txt");
    m_type.setCurrentIndex(1);
    Show({Record(L"readme", false)});
    EXPECT_TRUE(Rows().isEmpty());
}

// ---- rows, counts, columns ----

TEST_F(Display, CountsSkipLinksButTheirBytesCount)
{
    Show({Record(L"d1", true, 0), Record(L"d2", true, 0), Record(L"a", false, 100), Record(L"b", false, 200),
          Record(L"c", false, 300), Record(L"l -> x", false, 10, true)});
    EXPECT_EQ(m_panes.PaneText(1), "Directories: 2");
    EXPECT_EQ(m_panes.PaneText(2), "Files: 3");
    EXPECT_EQ(m_panes.PaneText(3), "610 bytes");
}

TEST_F(Display, ByteCountDoesNotWrapAt2GiB)
{
    Show({Record(L"big1", false, 3'000'000'000), Record(L"big2", false, 3'000'000'000)});
    EXPECT_EQ(m_panes.PaneText(3), "6000000000 bytes");
}

TEST_F(Display, ItemDataIsTheListingPositionAfterFiltering)
{
    m_text.setText("keep");
    Show({Record(L"drop1", false), Record(L"keep1", false), Record(L"drop2", false), Record(L"keep2", false)});
    ASSERT_EQ(m_list.GetItemCount(), 2);
    EXPECT_EQ(m_list.GetItemData(0), 1u);
    EXPECT_EQ(m_list.GetItemData(1), 3u);
    // One icon per shown row in each list, the same index in both; a second display starts afresh.
    EXPECT_EQ(m_large.GetImageCount(), 2);
    EXPECT_EQ(m_small.GetImageCount(), 2);
    Show(m_connection.GetListing());
    EXPECT_EQ(m_large.GetImageCount(), 2);
}

TEST_F(Display, ColumnsShowTimeSizeAttributesAndOwner)
{
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    const std::string strOldLocale = std::setlocale(LC_TIME, nullptr);
    std::setlocale(LC_TIME, "C");
    CListingRecord r = Record(L"notes.txt", false, 1536);
    r.m_ftModified = FileTimeFromUnixSeconds(1709647620); // 2024-03-05 14:07 UTC, 15:07 in Berlin
    CListingRecord empty = Record(L"empty.txt", false, 0);
    Show({r, empty});
    EXPECT_EQ(m_list.GetItemText(0, 1), "03/05/24 15:07:00");
    EXPECT_EQ(m_list.GetItemText(0, 2), "1.50 Kb");
    EXPECT_EQ(m_list.GetItemText(0, 3), "-rw-r--r--");
    EXPECT_EQ(m_list.GetItemText(0, 4), "ann");
    EXPECT_EQ(m_list.GetItemText(1, 2), ""); // a zero-byte file shows no size
    std::setlocale(LC_TIME, strOldLocale.c_str());
}

TEST_F(Display, FoundRowsNameTheirFolder)
{
    CListCtrlEx found(EProgramKind::Desktop);
    for (const char* szColumn : {"Name", "Time", "Size", "Attributes", "Owner"})
        found.InsertColumn(found.GetColumnCount(), QString::fromLatin1(szColumn));
    CImageList small(CImageList::kSmall);
    m_connection.FillFoundRow(L"/pub/linux", Record(L"kernel.tar", false, 5), found, small, 7);
    m_connection.FillFoundRow(L"/pub/linux/", Record(L"docs", true), found, small, 8);
    EXPECT_EQ(found.GetItemText(0, 0), "/pub/linux/kernel.tar");
    EXPECT_EQ(found.GetItemText(1, 0), "/pub/linux/docs");
    EXPECT_EQ(found.GetItemData(0), 7u);
    EXPECT_EQ(small.GetImageCount(), 2);
}

TEST(TargetFolder, FirstSelectedRowDecides)
{
    CReportRecorder report;
    CScriptedServer server;
    server.Reply("220 hi").On("USER ann", "230 in").On("PWD", "257 \"/pub\"").Start();
    CServerConnection connection;
    CListCtrlEx list(EProgramKind::Desktop);
    list.InsertColumn(0, "Name");
    std::wstring strFolder;
    EXPECT_FALSE(connection.GetTargetFolder(list, strFolder)); // not connected

    ASSERT_TRUE(connection.Connect(LoopbackSite(server.Port())));
    connection.SetListing({Record(L"file.txt", false), Record(L"docs", true)});
    QComboBox combo;
    CImageList large(CImageList::kLarge), small(CImageList::kSmall);
    connection.ShowListing(combo, list, large, small);

    struct
    {
        std::vector<int> vSelected;
        const wchar_t* szFolder;
    } const kCases[] = {
        {{}, L"/pub"}, {{1}, L"/pub/docs"}, {{0, 1}, L"/pub"}, // a file first: the current folder
    };
    for (const auto& c : kCases)
    {
        list.SetItemState(-1, 0, CListCtrlEx::kStateSelected);
        for (int nRow : c.vSelected)
            list.SetItemState(nRow, CListCtrlEx::kStateSelected, CListCtrlEx::kStateSelected);
        ASSERT_TRUE(connection.GetTargetFolder(list, strFolder));
        EXPECT_EQ(strFolder, c.szFolder);
    }
}

} // namespace
