// How long ShowListing takes for a listing of 100 000 records with mixed extensions on real widgets, and how
// much memory the display adds.

#include "connection/ListCtrlEx.h"
#include "connection/ServerConnection.h"
#include "platform/ImageList.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

#include <benchmark/benchmark.h>

#include <fstream>
#include <unistd.h>

namespace
{

long ResidentKiB()
{
    std::ifstream statm("/proc/self/statm");
    long nPages = 0, nResident = 0;
    statm >> nPages >> nResident;
    return nResident * (sysconf(_SC_PAGESIZE) / 1024);
}

std::vector<CListingRecord> MakeListing(int nCount)
{
    static const wchar_t* const kExtensions[] = {L".txt", L".html", L".tar.gz", L".c", L".h",   L".png",
                                                 L".pdf", L".mp3",  L".zip",    L"",   L".JPG", L".cpp"};
    std::vector<CListingRecord> vListing;
    vListing.reserve(static_cast<size_t>(nCount));
    for (int i = 0; i < nCount; ++i)
    {
        CListingRecord r;
        r.m_nDirectory = i % 20 == 0 ? 1 : 0;
        r.m_nSize = i * 37;
        r.m_ftModified = FileTimeFromUnixSeconds(1700000000 + i);
        r.m_strFolderPath = L"/pub";
        r.m_strDisplayName = L"file" + std::to_wstring(i) + kExtensions[i % 12];
        r.m_strRawName = r.m_strDisplayName;
        r.m_strAttributes = r.m_nDirectory ? L"drwxr-xr-x" : L"-rw-r--r--";
        r.m_strOwner = L"ann";
        vListing.push_back(std::move(r));
    }
    return vListing;
}

void BM_ShowListing100k(benchmark::State& state)
{
    CServerConnection connection;
    QComboBox folders, kind, type;
    QLineEdit text;
    kind.addItems({"Show Files and Directories", "Show Only Files", "Show Only Directories"});
    type.addItem("Show All Types");
    connection.SetFilterControls(&text, &kind, &type);
    CListCtrlEx list(EProgramKind::Desktop);
    for (const char* szColumn : {"Name", "Time", "Size", "Attributes", "Owner"})
        list.InsertColumn(list.GetColumnCount(), QString::fromLatin1(szColumn));
    list.resize(800, 600);
    list.show();
    CImageList large(CImageList::kLarge), small(CImageList::kSmall);
    connection.SetListing(MakeListing(static_cast<int>(state.range(0))));

    const long nBefore = ResidentKiB();
    long nAfterFirst = 0;
    for (auto _ : state)
    {
        connection.ShowListing(folders, list, large, small);
        QCoreApplication::processEvents();
        if (nAfterFirst == 0) nAfterFirst = ResidentKiB();
    }
    state.counters["rows"] = list.GetItemCount();
    state.counters["added_MiB"] = static_cast<double>(nAfterFirst - nBefore) / 1024.0;
    state.counters["types"] = type.count() - 1;
}
BENCHMARK(BM_ShowListing100k)->Arg(100000)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
