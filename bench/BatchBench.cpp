// Eighteen years of one client against the simulated portal with every page
// 300 ms late, headless Chromium: the run of all years on one login against
// eighteen single-year retrievals with their fixed pauses, in one run.
// Goals: the batch under a quarter of the single-year total, and under 60 s.

#include "portal/BatchRetrieval.h"
#include "browser/DevToolsBrowser.h"
#include "portal/YearRetrieval.h"
#include "sheet/Recalculate.h"
#include "sheet/SheetLayout.h"
#include "tools/portal-sim/SimulatedPortalProcess.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <memory>

namespace skartina {
namespace {

constexpr const char* kPageDelayMs = "300";

struct Portal {
    Portal()
        : simulator(SKARTINA_SIM_SAMPLE, {"--delay", kPageDelayMs}),
          hosts(simulator.hosts()),
          browser(std::make_unique<DevToolsBrowser>(clock, simulator.HeadlessBrowser())) {}
    ~Portal() { browser.reset(); }
    SimulatedPortalProcess simulator;
    PortalHosts hosts;
    SteadyPumpClock clock;
    std::unique_ptr<DevToolsBrowser> browser;
};

struct SheetView : RetrievalView, BatchView {
    explicit SheetView(SheetGrid& g) : grid(g) {}
    void RecalculateSheet() override { skartina::RecalculateSheet(grid); }
    void YearFilled(int) override { skartina::RecalculateSheet(grid); }
    SheetGrid& grid;
};

struct Quiet : Prompter {
    void inform(const std::string&) override {}
    bool confirm(const std::string&) override { return false; }
};

double Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_EighteenYearsBatchAgainstSingle(benchmark::State& state) {
    BrowserConfig defaults;
    if (!std::filesystem::exists(defaults.chromium)) return state.SkipWithError("chromium is not installed");
    const PortalCredentials credentials{"123456783", "demo", "demo1234", false};
    std::vector<int> years;
    for (int year = 2020; year >= 2003; --year) years.push_back(year);

    for (auto _ : state) {
        Portal portal;
        PortalSession session{*portal.browser, portal.hosts, PortalTiming(), {}, {}};
        E1CodeTable e1;

        SheetGrid batchGrid;
        BuildSheetLayout(batchGrid, YearSelection());
        SheetView batchView(batchGrid);
        auto start = std::chrono::steady_clock::now();
        const BatchResult result = RetrieveYears(session, {credentials, years, 0, {}}, e1, batchGrid, batchView);
        const double batch = Since(start);
        if (result.AnyFailed()) return state.SkipWithError("a year of the batch was not read");

        SheetGrid singleGrid;
        BuildSheetLayout(singleGrid, YearSelection());
        SheetView singleView(singleGrid);
        Quiet prompter;
        start = std::chrono::steady_clock::now();
        for (int year : years) {
            const YearOutcome outcome =
                RetrieveYearFromPortal(session, {year, credentials, 0}, true, e1, singleGrid, prompter, singleView);
            if (outcome != YearOutcome::Read) return state.SkipWithError(OutcomeText(outcome));
        }
        const double single = Since(start);
        if (!(batchGrid == singleGrid)) return state.SkipWithError("the two ways filled different sheets");

        state.SetIterationTime(batch);
        state.counters["batch_s"] = batch;
        state.counters["single_total_s"] = single;
        state.counters["ratio"] = batch / single;
    }
}
BENCHMARK(BM_EighteenYearsBatchAgainstSingle)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace skartina
