// Download throughput of the engine's open transfer interface with the jobs' 1024-byte blocks, next to a bare
// poll-and-recv loop over the same kind of data connection, from the same loopback server in the same run.

#include "fixtures/PyFtpServer.h"
#include "fixtures/TestClient.h"

#include <benchmark/benchmark.h>

#include <poll.h>
#include <sys/socket.h>

#include <chrono>
#include <fstream>

namespace
{

constexpr std::int64_t kFileSize = std::int64_t{256} * 1024 * 1024;
constexpr int kBlock = 1024;

std::int64_t EngineLoop(nsTest::CTestClient& client)
{
    auto pData = client.OpenTransfer(L"/big.bin", true, false);
    if (!pData) return -1;
    char buffer[kBlock];
    std::int64_t nTotal = 0;
    int nReceived = 0;
    while (client.ReadTransfer(*pData, buffer, kBlock, nReceived) && nReceived > 0)
        nTotal += nReceived;
    client.CloseTransfer(std::move(pData));
    return nTotal;
}

std::int64_t BareLoop(nsTest::CTestClient& client)
{
    // The engine only opens and closes the transfer; the data moves through plain poll and recv.
    auto pData = client.OpenTransfer(L"/big.bin", true, false);
    if (!pData) return -1;
    char buffer[kBlock];
    std::int64_t nTotal = 0;
    const int fd = pData->GetHandle();
    for (;;)
    {
        pollfd pfd{fd, POLLIN, 0};
        if (::poll(&pfd, 1, 10000) <= 0) break;
        const ssize_t n = ::recv(fd, buffer, kBlock, 0);
        if (n <= 0) break;
        nTotal += n;
    }
    client.CloseTransfer(std::move(pData));
    return nTotal;
}

void BM_Download256MiB(benchmark::State& state)
{
    nsTest::CPyFtpServer server;
    if (!server.Start())
    {
        state.SkipWithError(server.Error().c_str());
        return;
    }
    {
        std::ofstream out(server.Root() + "/big.bin", std::ios::binary);
        std::string strChunk(1024 * 1024, '\x5a');
        for (std::int64_t n = 0; n < kFileSize; n += static_cast<std::int64_t>(strChunk.size()))
            out.write(strChunk.data(), static_cast<std::streamsize>(strChunk.size()));
    }
    nsTest::CTestClient client(30);
    if (!client.LogOnTo(server.Port(), L"ann", L"secret", 30))
    {
        state.SkipWithError("logon failed");
        return;
    }
    double fEngineSec = 0, fBareSec = 0;
    int nRounds = 0;
    for (auto _ : state)
    {
        // Alternate, so that neither loop always runs on a warmer page cache.
        auto t0 = std::chrono::steady_clock::now();
        const std::int64_t nBare = BareLoop(client);
        auto t1 = std::chrono::steady_clock::now();
        const std::int64_t nEngine = EngineLoop(client);
        auto t2 = std::chrono::steady_clock::now();
        if (nBare != kFileSize || nEngine != kFileSize)
        {
            state.SkipWithError("short download");
            return;
        }
        fBareSec += std::chrono::duration<double>(t1 - t0).count();
        fEngineSec += std::chrono::duration<double>(t2 - t1).count();
        ++nRounds;
    }
    const double fMiB = static_cast<double>(kFileSize) / (1024.0 * 1024.0) * nRounds;
    state.counters["engine_MiB_per_s"] = fMiB / fEngineSec;
    state.counters["bare_MiB_per_s"] = fMiB / fBareSec;
    state.counters["engine_to_bare"] = fBareSec / fEngineSec;
}
BENCHMARK(BM_Download256MiB)->Iterations(3)->Unit(benchmark::kSecond);

} // namespace
