// SPDX-License-Identifier: GPL-3.0-or-later
// The register of a large office: the import of a client list of 1,000,
// 10,000 and 100,000 lines into an empty data folder (its time per line
// stays flat when the import is linear), and the client list of 20,000
// clients as its window opens it (read and sorted).

#include "ClientListData.h"
#include "registry/ClientImport.h"
#include "registry/ClientLists.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace skartina {
namespace {

using bench::ClientListText;

class Folder {
public:
    Folder() : path_(std::filesystem::temp_directory_path() / ("skartina-register-bench-" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~Folder() { std::filesystem::remove_all(path_); }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path tables() const { return path_ / "Tables"; }

private:
    std::filesystem::path path_;
};

void BM_ImportClients(benchmark::State& state) {
    const int lines = static_cast<int>(state.range(0));
    const ClientList list = ParseClientList(ClientListText(lines));
    Folder folder;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(folder.tables());  // unlinking is slow on some disks: never timed
        state.ResumeTiming();
        const ImportResult result = ImportClients(folder.tables(), list);
        if (result.added.size() != static_cast<size_t>(lines)) state.SkipWithError("not every client was added");
    }
    state.counters["lines"] = lines;
    state.counters["per_line"] = benchmark::Counter(static_cast<double>(lines) * static_cast<double>(state.iterations()),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ImportClients)->Arg(1000)->Arg(10000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole file as the command does it, parsing included.
void BM_ImportClientFile(benchmark::State& state) {
    const int lines = static_cast<int>(state.range(0));
    Folder source;
    const std::filesystem::path file = source.path() / "clients.csv";
    {
        const std::string text = ClientListText(lines);
        FILE* out = std::fopen(file.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), out);
        std::fclose(out);
    }
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(source.tables());
        state.ResumeTiming();
        benchmark::DoNotOptimize(ImportClientFile(source.tables(), file));
    }
    state.counters["lines"] = lines;
}
BENCHMARK(BM_ImportClientFile)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The client list's rows as its window takes them: read from the register and sorted by surname.
void BM_ClientList(benchmark::State& state) {
    const int clients = static_cast<int>(state.range(0));
    Folder folder;
    ImportClients(folder.tables(), ParseClientList(ClientListText(clients)));
    for (auto _ : state) {
        ListLoad load = LoadCustomers(folder.tables());
        SortAsAtOpening(load.rows, TaxpayerListDescription());
        if (load.rows.size() != static_cast<size_t>(clients)) state.SkipWithError("a client is missing");
        benchmark::DoNotOptimize(load);
    }
    state.counters["clients"] = clients;
}
BENCHMARK(BM_ClientList)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace skartina
