// Throughput of the listing parser on the lines a UNIX server sends most: files and folders, times and years,
// the odd link. A large listing is parsed line by line into one reused record, as the listing code does.

#include "ftp/ListParser.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

namespace
{

const std::vector<std::wstring>& UnixLines()
{
    static const std::vector<std::wstring> vLines = {
        L"-rw-r--r--   1 ann      ann          1024 Mar 05 14:07 notes.txt",
        L"drwxr-xr-x   2 ann      ann          4096 Jan 01  2001 old",
        L"-rw-r--r--   1 ann      staff     5368709120 Jul 15 09:30 backup-2023-07-15.tar.gz",
        L"lrwxrwxrwx   1 root     root            7 Jan 10  2020 bin -> usr/bin",
        L"-rwxr-xr-x   1 ann      ann         18432 Dec 31 23:59 build script with spaces.sh",
        L"drwxrwxr-x   5 www-data www-data     4096 Oct 12 08:15 htdocs",
        L"-rw-------   1 ann      ann           220 Feb 28  2019 .bash_logout",
        L"-rw-r--r--   1 ann      ann      104857600 Nov 30 17:42 video.mp4",
    };
    return vLines;
}

void BM_ParseUnixLines(benchmark::State& state)
{
    const std::vector<std::wstring>& vLines = UnixLines();
    nsFTP::CFTPFileStatus status;
    for (auto _ : state)
        for (const std::wstring& strLine : vLines)
        {
            benchmark::DoNotOptimize(nsFTP::ParseListLine(strLine, status, 2023));
            benchmark::ClobberMemory();
        }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(vLines.size()));
}
BENCHMARK(BM_ParseUnixLines);

// The worst rejection: the scan runs through every column and only fails where the name should begin.
void BM_RejectUnixLineWithoutName(benchmark::State& state)
{
    const std::wstring strLine = L"-rw-r--r--   1 ann      ann          1024 Mar 05 14:07";
    nsFTP::CFTPFileStatus status;
    for (auto _ : state)
        benchmark::DoNotOptimize(nsFTP::ParseListLine(strLine, status, 2023));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RejectUnixLineWithoutName);

} // namespace
