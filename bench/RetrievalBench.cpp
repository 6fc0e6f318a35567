// One retrieval of a year up to 2013 and one from 2014, with the real pauses,
// against the simulated portal and headless Chromium: how much the program
// itself adds to the fixed pauses of the retrieval (goal: under 10 %).
// A year up to 2013 pauses 1 + 2 + 3 + 2 s, a year from 2014 1 + 2 + 3 + 3 +
// 3 + 2 + 2 + 2 + 2 s. The 2010 run follows a first retrieval, so that it
// finds the browser open, as a user's second retrieval does; a year from 2014
// ends by logging out and closing the browser, so each one starts it anew.

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

struct Portal {
    Portal()
        : simulator(SKARTINA_SIM_SAMPLE),
          hosts(simulator.hosts()),
          browser(std::make_unique<DevToolsBrowser>(clock, simulator.HeadlessBrowser())) {}
    ~Portal() { browser.reset(); }  // the browser quits before the portal stops
    SimulatedPortalProcess simulator;
    PortalHosts hosts;
    SteadyPumpClock clock;
    std::unique_ptr<DevToolsBrowser> browser;
};

Portal* Open() {
    static std::unique_ptr<Portal> portal;
    if (portal) return portal.get();
    if (!std::filesystem::exists(BrowserConfig().chromium)) return nullptr;
    portal = std::make_unique<Portal>();
    return portal.get();
}

struct QuietView : RetrievalView {
    explicit QuietView(SheetGrid& g) : grid(g) {}
    void RecalculateSheet() override { skartina::RecalculateSheet(grid); }
    SheetGrid& grid;
};

struct Quiet : Prompter {
    void inform(const std::string&) override {}
    bool confirm(const std::string&) override { return false; }
};

void RetrieveOnce(benchmark::State& state, int year, double pauseSeconds) {
    Portal* portal = Open();
    if (!portal) return state.SkipWithError("chromium is not installed");
    SheetGrid grid;
    BuildSheetLayout(grid, YearSelection());
    E1CodeTable e1;
    Quiet prompter;
    QuietView view(grid);
    const YearRequest request{year, {"123456783", "demo", "demo1234", false}, 0};
    PortalSession session{*portal->browser, portal->hosts, PortalTiming(), {}, {}};
    if (year <= 2013) RetrieveYearFromPortal(session, request, true, e1, grid, prompter, view);  // the browser open, logged in
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const YearOutcome outcome = RetrieveYearFromPortal(session, request, true, e1, grid, prompter, view);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (outcome != YearOutcome::Read) return state.SkipWithError(OutcomeText(outcome));
        state.SetIterationTime(seconds);
        state.counters["pauses_s"] = pauseSeconds;
        state.counters["overhead_s"] = seconds - pauseSeconds;
        state.counters["overhead_pct"] = 100 * (seconds - pauseSeconds) / pauseSeconds;
    }
}

void BM_RetrieveYear2010(benchmark::State& state) { RetrieveOnce(state, 2010, 1 + 2 + 3 + 2); }
BENCHMARK(BM_RetrieveYear2010)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

void BM_RetrieveYear2016(benchmark::State& state) { RetrieveOnce(state, 2016, 1 + 2 + 3 + 3 + 3 + 2 + 2 + 2 + 2); }
BENCHMARK(BM_RetrieveYear2016)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace skartina
