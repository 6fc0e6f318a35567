// SPDX-License-Identifier: GPL-3.0-or-later
// The office run against one all-years run per client, side by side: N
// clients × 18 years against the simulated portal (no page delays), headless
// Chromium, with the accountant's login (`accountant` 1) and with each
// client's own (0). With the accountant's, the office run logs in once and
// picks each client in turn; with the clients' own, it logs each in and out
// in its one browser, each client in a new private session of it.
// The other way is one `retrieve-all` per client: its own browser, login and
// logout, the client's documents kept and the sheet written. Both fill the
// same sheets (checked). Two iterations, the office run first in one and
// second in the other. Goal: the office run under 0.8 of the per-client
// total. Counters: the two totals (a mean of the iterations), the ratio of
// their sums, and the time per client of each.

#include "browser/DevToolsBrowser.h"
#include "portal/BatchOfficePortal.h"
#include "common/Edition.h"
#include "sheet/AnalysisFile.h"
#include "sheet/AnalysisHistory.h"
#include "portal/YearSources.h"
#include "registry/ClientImport.h"
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
std::string TaxNumberOf(int n) {
    std::string digits = std::to_string(10000000 + n * 7919);
    int sum = 0;
    for (int i = 0; i < 8; ++i) sum += (digits[static_cast<size_t>(i)] - '0') << (8 - i);
    return digits + std::to_string(sum % 11 % 10);
}

// Client n's own portal user name and password.
PortalCredentials OwnCredentials(const std::string& taxNumber, size_t n) {
    return {taxNumber, "user" + std::to_string(n), "pw" + std::to_string(n), false};
}

// The portal's data: the sample client's returns for every client, the
// clients' own accounts and the accountant's.
std::filesystem::path MakeData(const std::filesystem::path& root, const std::vector<std::string>& taxNumbers) {
    const std::filesystem::path data = root / "portal";
    std::filesystem::create_directories(data);
    std::ofstream accounts(data / "accounts.txt");
    accounts << "logistis demo5678 *\n";
    for (size_t n = 0; n < taxNumbers.size(); ++n) {
        const PortalCredentials own = OwnCredentials(taxNumbers[n], n);
        accounts << own.user << ' ' << own.password << ' ' << own.taxNumber << '\n';
        std::filesystem::copy(std::filesystem::path(SKARTINA_SIM_SAMPLE) / "123456783", data / taxNumbers[n],
                              std::filesystem::copy_options::recursive);
    }
    return data;
}

// The register of the office: every client with its own portal credentials.
void MakeRegister(const std::filesystem::path& tables, const std::vector<std::string>& taxNumbers) {
    std::string list = "ΑΦΜ;Επώνυμο;Όνομα;Πατρώνυμο;UserName;Password\n";
    for (size_t n = 0; n < taxNumbers.size(); ++n) {
        const PortalCredentials own = OwnCredentials(taxNumbers[n], n);
        list += own.taxNumber + ";Πελάτης " + std::to_string(n) + ";Όνομα;;" + own.user + ";" + own.password + "\n";
    }
    ImportClients(tables, ParseClientList(list));
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
    explicit Recalculating(Sheet& s) : sheet(s) {}
    void YearFilled(int) override { RecalculateSheet(sheet); }
    Sheet& sheet;
};

double Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_OfficeRunAgainstOneRunPerClient(benchmark::State& state) {
    BrowserConfig defaults;
    if (!std::filesystem::exists(defaults.chromium)) return state.SkipWithError("chromium is not installed");
    const int clients = static_cast<int>(state.range(0));
    const bool byAccountant = state.range(1) != 0;
    std::vector<std::string> taxNumbers;
    for (int n = 1; n <= clients; ++n) taxNumbers.push_back(TaxNumberOf(n));
    std::vector<int> years;
    for (int year = 2020; year >= 2003; --year) years.push_back(year);

    double officeTotal = 0, perClientTotal = 0;
    bool officeFirst = true;
    for (auto _ : state) {
        const std::filesystem::path root =
            std::filesystem::temp_directory_path() / ("skartina-office-bench-" + std::to_string(::getpid()));
        std::filesystem::remove_all(root);
        const std::filesystem::path tables = root / "Tables";
        std::filesystem::create_directories(root);
        MakeRegister(tables, taxNumbers);
        Portal portal(MakeData(root, taxNumbers));
        PortalSession session{*portal.browser, portal.hosts, PortalTiming(), {}, {}};
        const PortalCredentials accountant{{}, "logistis", "demo5678", true};

        const auto officeRun = [&] {
            BatchOfficePortal office(session, byAccountant ? std::optional(accountant) : std::nullopt, 0);
            OfficeView quiet;
            const OfficePlan plan{"20200101-000000", taxNumbers, years, byAccountant, byAccountant ? accountant.user : ""};
            return !RunOffice(office, {plan, {}}, tables, quiet).AnyNotRead();
        };
        // One `retrieve-all` per client, each with its own browser, login and
        // logout, keeping the client's documents and writing the sheet as the command does.
        const std::filesystem::path ownTables = root / "single" / "Tables";
        std::filesystem::create_directories(ownTables.parent_path());
        const auto oneRunPerClient = [&] {
            for (size_t n = 0; n < taxNumbers.size(); ++n) {
                const std::string& taxNumber = taxNumbers[n];
                Sheet sheet;
                BuildSheetLayout(sheet, YearSelection());
                Recalculating view(sheet);
                E1CodeTable e1;
                PortalCredentials credentials = byAccountant ? accountant : OwnCredentials(taxNumber, n);
                credentials.taxNumber = taxNumber;
                const BatchResult batch =
                    RetrieveYears(session, {credentials, years, 0, SourcesFolder(ownTables, taxNumber)}, e1, sheet, view);
                if (batch.AnyFailed()) return false;
                RecalculateSheet(sheet);
                SaveSheetFile(sheet, AnalysisFilePath(ownTables, taxNumber, kWorkYear));
            }
            return true;
        };

        // The order alternates between iterations, so that a machine growing
        // busier or quieter weighs on both ways alike.
        double officeSeconds = 0, perClientSeconds = 0;
        for (int turn = 0; turn < 2; ++turn) {
            const auto start = std::chrono::steady_clock::now();
            if ((turn == 0) == officeFirst) {
                if (!officeRun()) return state.SkipWithError("a year of the office run was not read");
                officeSeconds = Since(start);
            } else {
                if (!oneRunPerClient()) return state.SkipWithError("a year of a client's run was not read");
                perClientSeconds = Since(start);
            }
        }
        officeFirst = !officeFirst;
        for (const std::string& taxNumber : taxNumbers) {
            Sheet office, single;
            if (!LoadSheetFromFile(AnalysisFilePath(tables, taxNumber, kWorkYear), office) ||
                !LoadSheetFromFile(AnalysisFilePath(ownTables, taxNumber, kWorkYear), single) || !(office == single))
                return state.SkipWithError("the two ways filled different sheets");
        }
        std::filesystem::remove_all(root);
        state.SetIterationTime(officeSeconds);
        officeTotal += officeSeconds;
        perClientTotal += perClientSeconds;
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["office_s"] = officeTotal / runs;
    state.counters["one_run_per_client_s"] = perClientTotal / runs;
    state.counters["ratio"] = officeTotal / perClientTotal;
    state.counters["office_s_per_client"] = officeTotal / runs / clients;
    state.counters["one_run_s_per_client"] = perClientTotal / runs / clients;
}
BENCHMARK(BM_OfficeRunAgainstOneRunPerClient)
    ->ArgNames({"clients", "accountant"})
    ->ArgsProduct({{10, 20, 50}, {1, 0}})->UseManualTime()->Iterations(2)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace skartina
