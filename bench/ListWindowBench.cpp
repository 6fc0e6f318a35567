// SPDX-License-Identifier: GPL-3.0-or-later
// The client list of a large office as the user waits for it: the register
// read (20,000 record files) and the list window built with its rows and
// shown (drawn once on Qt's offscreen platform), timed apart and together.
// Goal: the whole within 1 s.

#include "ClientListData.h"
#include "common/Prompter.h"
#include "gui/Application.h"
#include "gui/ClientListWindow.h"
#include "registry/ClientImport.h"
#include "registry/ClientLists.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace skartina {
namespace {

struct Silent : Prompter {
    void inform(const std::string&) override {}
    bool confirm(const std::string&) override { return false; }
};

double Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_ClientListWindow(benchmark::State& state) {
    const int clients = static_cast<int>(state.range(0));
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("skartina-list-bench-" + std::to_string(::getpid()));
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root);
    const std::filesystem::path tables = root / "Tables";
    ImportClients(tables, ParseClientList(bench::ClientListText(clients)));
    Silent prompter;
    double readSeconds = 0, windowSeconds = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        ListLoad load = LoadCustomers(tables);
        const double read = Since(start);
        if (load.rows.size() != static_cast<size_t>(clients)) state.SkipWithError("a client is missing");

        start = std::chrono::steady_clock::now();
        {
            ClientListWindow window(tables, std::move(load.rows), {&prompter, {}});
            window.show();
            QApplication::processEvents();
            benchmark::DoNotOptimize(window.chosenTaxNumber());
        }
        const double shown = Since(start);
        state.SetIterationTime(read + shown);
        readSeconds += read;
        windowSeconds += shown;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["clients"] = clients;
    state.counters["read_ms"] = 1000 * readSeconds / n;
    state.counters["window_ms"] = 1000 * windowSeconds / n;
    std::filesystem::remove_all(root);
}
BENCHMARK(BM_ClientListWindow)->Arg(20000)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace skartina

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    skartina::SetUpApplication(app);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
