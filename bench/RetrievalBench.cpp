// SPDX-License-Identifier: GPL-3.0-or-later
// One year from the simulated portal with headless Chromium, each from a cold
// browser (every retrieval starts its own and ends it): the year button, the
// same year as a run of one year, and the year button in the patient mode
// (the fixed pauses besides the waits), side by side, for a year up to 2013
// and one from 2014. Goal: the year button within 1.5 x the run of one year.
// Also a second year button of the same client on the first one's kept login
// (KeptSession) against the first, cold one, in wall time.

#include "portal/BatchRetrieval.h"
#include "portal/KeptSession.h"
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

struct QuietView : RetrievalView, BatchView {
    explicit QuietView(Sheet& s) : sheet(s) {}
    void RecalculateSheet() override { skartina::RecalculateSheet(sheet); }
    void YearFilled(int) override { skartina::RecalculateSheet(sheet); }
    Sheet& sheet;
};

struct Quiet : Prompter {
    void inform(const std::string&) override {}
    bool confirm(const std::string&) override { return false; }
};

double Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void SingleAgainstBatch(benchmark::State& state, int year) {
    if (!std::filesystem::exists(BrowserConfig().chromium)) return state.SkipWithError("chromium is not installed");
    const PortalCredentials credentials{"123456783", "demo", "demo1234", false};
    for (auto _ : state) {
        Portal portal;
        PortalSession session{*portal.browser, portal.hosts, PortalTiming(), {}, {}};
        Sheet sheet;
        BuildSheetLayout(sheet, YearSelection());
        E1CodeTable e1;
        Quiet prompter;
        QuietView view(sheet);

        auto start = std::chrono::steady_clock::now();
        const BatchResult batch = RetrieveYears(session, {credentials, {year}, 0, {}, false}, e1, sheet, view);
        const double oneYearRun = Since(start);
        if (batch.AnyFailed()) return state.SkipWithError("the run of one year failed");

        start = std::chrono::steady_clock::now();
        auto single = RetrieveYearFromPortal(session, {year, credentials, 0, {}, false}, true, e1, sheet, prompter, view);
        const double button = Since(start);
        if (!single || single->end.ending != Ending::Read) return state.SkipWithError("the year button failed");

        start = std::chrono::steady_clock::now();
        single = RetrieveYearFromPortal(session, {year, credentials, 0, {}, true}, true, e1, sheet, prompter, view);
        const double patient = Since(start);
        if (!single || single->end.ending != Ending::Read) return state.SkipWithError("the patient year button failed");

        state.SetIterationTime(button);
        state.counters["button_s"] = button;
        state.counters["one_year_run_s"] = oneYearRun;
        state.counters["patient_s"] = patient;
        state.counters["button_over_run"] = button / oneYearRun;
    }
}

void BM_Year2010ButtonRunAndPatient(benchmark::State& state) { SingleAgainstBatch(state, 2010); }
BENCHMARK(BM_Year2010ButtonRunAndPatient)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

void BM_Year2016ButtonRunAndPatient(benchmark::State& state) { SingleAgainstBatch(state, 2016); }
BENCHMARK(BM_Year2016ButtonRunAndPatient)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

void BM_SecondYearButtonOnTheKeptLogin(benchmark::State& state) {
    if (!std::filesystem::exists(BrowserConfig().chromium)) return state.SkipWithError("chromium is not installed");
    const PortalCredentials credentials{"123456783", "demo", "demo1234", false};
    for (auto _ : state) {
        Portal portal;
        Sheet sheet;
        BuildSheetLayout(sheet, YearSelection());
        QuietView view(sheet);
        E1CodeTable e1;
        double wall[2] = {};
        {
            KeptSession session(*portal.browser, portal.hosts, PortalTiming());
            const int years[2] = {2010, 2011};
            for (int i = 0; i < 2; ++i) {
                const auto start = std::chrono::steady_clock::now();
                const BatchResult run = session.Retrieve({credentials, {years[i]}, 0, {}, false}, {}, e1, sheet, view);
                wall[i] = Since(start);
                if (run.AnyFailed()) return state.SkipWithError("a year button failed");
            }
            session.End();
        }
        state.SetIterationTime(wall[1]);
        state.counters["first_s"] = wall[0];
        state.counters["second_s"] = wall[1];
        state.counters["second_over_first"] = wall[1] / wall[0];
    }
}
BENCHMARK(BM_SecondYearButtonOnTheKeptLogin)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace skartina
