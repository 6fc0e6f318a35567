// SPDX-License-Identifier: GPL-3.0-or-later
// Eighteen years of one client against the simulated portal without delays,
// headless Chromium: the run of all years against its floor, which is the
// time Chromium takes to start and stop plus the portal's requests of the
// same run replayed by a plain HTTPS client (login, each year's menu and its
// return or report, the logout). Goal: the run within 2 x the floor.

#include "portal/BatchRetrieval.h"
#include "browser/DevToolsBrowser.h"
#include "sheet/Recalculate.h"
#include "sheet/SheetLayout.h"
#include "tools/portal-sim/SimulatedPortalProcess.h"

#include <benchmark/benchmark.h>
#include <httplib.h>

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
    ~Portal() { browser.reset(); }
    SimulatedPortalProcess simulator;
    PortalHosts hosts;
    SteadyPumpClock clock;
    std::unique_ptr<DevToolsBrowser> browser;
};

struct SheetView : BatchView {
    explicit SheetView(Sheet& s) : sheet(s) {}
    void YearFilled(int) override { RecalculateSheet(sheet); }
    Sheet& sheet;
};

double Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The run's requests, replayed: returns how many were made, or -1 when one failed.
int ReplayRequests(const PortalHosts& hosts) {
    const auto client = [](const std::string& host) {
        auto c = std::make_unique<httplib::SSLClient>(host.substr(0, host.find(':')), std::stoi(host.substr(host.find(':') + 1)));
        c->enable_server_certificate_verification(false);
        return c;
    };
    auto app = client(hosts.app), login = client(hosts.login);
    int count = 0;
    httplib::Headers cookie;
    const auto get = [&](httplib::SSLClient& c, const std::string& path) {
        ++count;
        const auto res = c.Get(path.c_str(), cookie);
        return res && (res->status == 200 || res->status == 302);
    };
    if (!get(*app, "/webtax/incomefp/index.jsp") || !get(*login, "/")) return -1;
    ++count;
    const auto posted = login->Post("/login", httplib::Params{{"username", "demo"}, {"password", "demo1234"}});
    if (!posted || !posted->has_header("Set-Cookie")) return -1;
    const std::string set = posted->get_header_value("Set-Cookie");
    cookie = {{"Cookie", set.substr(0, set.find(';'))}};
    bool ok = get(*app, "/webtax/incomefp/years.jsp") && get(*app, "/webtax/incomefp/login.do");
    for (int year = 2020; year >= 2006; --year) {
        const std::string menu = "/webtax/incomefp/year" + std::to_string(year) + "-income-menu.do";
        ok = ok && get(*app, menu) &&
             get(*app, year >= 2014 ? "/reports/rwservlet?report=e1&year=" + std::to_string(year) : menu + "?print=e1");
    }
    ok = ok && get(*app, "/webtax/incomefp/login.do") && get(*app, "/webtax/incomefp/year2005-income-menu.do?YEAR=2005") &&
         get(*app, "/webtax/incomefp/Year_2005/income/e1/e1_print_frames_mm_2005.jsp") &&
         get(*app, "/webtax/incomefp/Year_2005/income/e1/e1_print_part_2005.jsp?part=1") &&
         get(*app, "/webtax/incomefp/Year_2005/income/e1/e1_print_part_2005.jsp?part=2");
    for (int year : {2004, 2003})
        ok = ok && get(*app, "/webtax/incomefp/year2005-income-menu.do") &&
             get(*app, "/webtax/incomefp/year2005-income-menu.do?YEAR=" + std::to_string(year)) &&
             get(*app, year == 2004 ? "/webtax/incomefp/Year_2004/income/e1/e1_print_mm_2004.jsp"
                                    : "/webtax/incomefp/Year_2003/income/e1/e1_print_mm.jsp");
    ok = ok && get(*app, "/webtax/incomefp/logout.do");
    return ok ? count : -1;
}

void BM_EighteenYearsAgainstTheFloor(benchmark::State& state) {
    if (!std::filesystem::exists(BrowserConfig().chromium)) return state.SkipWithError("chromium is not installed");
    const PortalCredentials credentials{"123456783", "demo", "demo1234", false};
    std::vector<int> years;
    for (int year = 2020; year >= 2003; --year) years.push_back(year);

    for (auto _ : state) {
        Portal portal;
        auto start = std::chrono::steady_clock::now();
        portal.browser->OpenApplication();
        portal.browser->BrowserQuit();
        const double browserStartStop = Since(start);

        start = std::chrono::steady_clock::now();
        const int requests = ReplayRequests(portal.hosts);
        const double replay = Since(start);
        if (requests < 0) return state.SkipWithError("the replayed requests failed");

        PortalSession session{*portal.browser, portal.hosts, PortalTiming(), {}, {}};
        E1CodeTable e1;
        Sheet sheet;
        BuildSheetLayout(sheet, YearSelection());
        SheetView view(sheet);
        start = std::chrono::steady_clock::now();
        const BatchResult result = RetrieveYears(session, {credentials, years, 0, {}, false}, e1, sheet, view);
        const double run = Since(start);
        if (result.AnyFailed()) return state.SkipWithError("a year of the run was not read");

        const double floor = browserStartStop + replay;
        state.SetIterationTime(run);
        state.counters["run_s"] = run;
        state.counters["per_year_s"] = run / 18;
        state.counters["browser_start_stop_s"] = browserStartStop;
        state.counters["replayed_requests"] = requests;
        state.counters["replay_s"] = replay;
        state.counters["floor_s"] = floor;
        state.counters["run_over_floor"] = run / floor;
    }
}
BENCHMARK(BM_EighteenYearsAgainstTheFloor)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace skartina
