// SPDX-License-Identifier: GPL-3.0-or-later
// The office run against one all-years run per client, side by side: N
// clients × 18 years against the simulated portal (no page delays), headless
// Chromium, the accountant's login. The office run logs in once and picks each
// client in turn; the other way logs in and out for every client, as one
// `retrieve-all` per client does. Both fill the same sheets (checked).
// Goal: the office run under 0.8 of the per-client total. Counters: the two
// totals, their ratio, and the time per client of each.

#include "browser/DevToolsBrowser.h"
#include "portal/BatchOfficePortal.h"
#include "common/Edition.h"
#include "sheet/AnalysisFile.h"
#include "sheet/Recalculate.h"
#include "sheet/SheetLayout.h"
#include "tools/portal-sim/SimulatedPortalProcess.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include <unistd.h>

namespace skartina {
namespace {

// A valid tax number for each client: eight digits and their check digit.
std::string AfmOf(int n) {
    std::string digits = std::to_string(10000000 + n * 7919);
    int sum = 0;
    for (int i = 0; i < 8; ++i) sum += (digits[static_cast<size_t>(i)] - '0') << (8 - i);
    return digits + std::to_string(sum % 11 % 10);
}

// The portal's data: the sample client's returns for every client, and the accountant.
std::filesystem::path MakeData(const std::filesystem::path& root, const std::vector<std::string>& afms) {
    const std::filesystem::path data = root / "portal";
    std::filesystem::create_directories(data);
    std::ofstream(data / "accounts.txt") << "logistis demo5678 *\n";
    for (const std::string& afm : afms)
        std::filesystem::copy(std::filesystem::path(SKARTINA_SIM_SAMPLE) / "123456783", data / afm,
                              std::filesystem::copy_options::recursive);
    return data;
}

struct Portal {
    explicit Portal(const std::filesystem::path& data)
        : simulator(data),
          hosts(simulator.hosts()),
          browser(std::make_unique<DevToolsBrowser>(clock, simulator.HeadlessBrowser())) {}
    ~Portal() { browser.reset(); }  // the browser quits before the portal stops
    SimulatedPortalProcess simulator;
    PortalHosts hosts;
    SteadyPumpClock clock;
    std::unique_ptr<DevToolsBrowser> browser;
};

struct Recalculating : BatchView {
    explicit Recalculating(SheetGrid& g) : grid(g) {}
    void YearFilled(int) override { RecalculateSheet(grid); }
    SheetGrid& grid;
};

double Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_OfficeRunAgainstOneRunPerClient(benchmark::State& state) {
    BrowserConfig defaults;
    if (!std::filesystem::exists(defaults.chromium)) return state.SkipWithError("chromium is not installed");
    const int clients = static_cast<int>(state.range(0));
    std::vector<std::string> afms;
    for (int n = 1; n <= clients; ++n) afms.push_back(AfmOf(n));
    std::vector<int> years;
    for (int year = 2020; year >= 2003; --year) years.push_back(year);

    for (auto _ : state) {
        const std::filesystem::path root =
            std::filesystem::temp_directory_path() / ("skartina-office-bench-" + std::to_string(::getpid()));
        std::filesystem::remove_all(root);
        const std::filesystem::path tables = root / "Tables";
        std::filesystem::create_directories(tables);
        Portal portal(MakeData(root, afms));
        PortalSession session{*portal.browser, portal.hosts, PortalTiming(), {}, {}};
        const PortalCredentials accountant{{}, "logistis", "demo5678", true};

        // The office run: one login, each client picked in turn.
        auto start = std::chrono::steady_clock::now();
        BatchOfficePortal office(session, accountant, 0);
        OfficeView quiet;
        const OfficeResult result = RunOffice(office, {{"20200101-000000", afms, years, true, "logistis"}, {}}, tables, quiet);
        const double officeSeconds = Since(start);
        if (result.AnyNotRead()) return state.SkipWithError("a year of the office run was not read");

        // One all-years run per client, each with its own login and logout.
        start = std::chrono::steady_clock::now();
        for (const std::string& afm : afms) {
            SheetGrid grid;
            BuildSheetLayout(grid, YearSelection());
            Recalculating view(grid);
            E1CodeTable e1;
            PortalCredentials credentials = accountant;
            credentials.afm = afm;
            const BatchResult batch = RetrieveYears(session, {credentials, years, 0, {}}, e1, grid, view);
            if (batch.AnyFailed()) return state.SkipWithError("a year of a client's run was not read");
            RecalculateSheet(grid);
            SheetGrid saved;
            if (!LoadGridFromFile(AnalysisFilePath(tables, afm, kWorkYear), saved) || !(saved == grid))
                return state.SkipWithError("the two ways filled different sheets");
        }
        const double perClientSeconds = Since(start);
        std::filesystem::remove_all(root);

        state.SetIterationTime(officeSeconds);
        state.counters["office_s"] = officeSeconds;
        state.counters["one_run_per_client_s"] = perClientSeconds;
        state.counters["ratio"] = officeSeconds / perClientSeconds;
        state.counters["office_s_per_client"] = officeSeconds / clients;
        state.counters["one_run_s_per_client"] = perClientSeconds / clients;
    }
}
BENCHMARK(BM_OfficeRunAgainstOneRunPerClient)->Arg(50)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace skartina
