// SPDX-License-Identifier: GPL-3.0-or-later
// Chromium's memory during an eighteen-year retrieval against the simulated
// portal (headless, no page delays), with the address bar's pop-up page
// switched off as the program starts it, and left on as Chromium would start
// it by itself, side by side. After each year the proportional set size
// (PSS, /proc/PID/smaps_rollup) of the browser and every process under it is
// summed; the counters are the median and the peak of those sums, the number
// of browser processes at the median, and the browser's CPU time up to the
// last year (its processes' user and system time, ended ones included).

#include "portal/BatchRetrieval.h"
#include "browser/DevToolsBrowser.h"
#include "sheet/Recalculate.h"
#include "sheet/SheetLayout.h"
#include "tools/portal-sim/SimulatedPortalProcess.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace skartina {
namespace {

struct Process {
    pid_t pid = 0;
    double cpuSeconds = 0;  // its own and that of its ended children
};

// Every process under `root` (itself included), from the parents /proc names.
std::vector<Process> ProcessTree(pid_t root) {
    std::map<pid_t, Process> all;
    std::multimap<pid_t, pid_t> children;
    const double tick = static_cast<double>(::sysconf(_SC_CLK_TCK));
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line)) continue;
        // The command name may hold spaces and brackets: the fields start after its last ')'.
        std::istringstream fields(line.substr(line.rfind(')') + 2));
        const std::vector<std::string> field{std::istream_iterator<std::string>(fields), {}};
        if (field.size() < 15) continue;
        double ticks = 0;
        for (size_t i = 11; i <= 14; ++i) ticks += std::stod(field[i]);  // utime stime cutime cstime
        const pid_t pid = std::stoi(name);
        all[pid] = {pid, ticks / tick};
        children.emplace(std::stoi(field[1]), pid);
    }
    std::vector<Process> tree;
    if (all.count(root)) tree.push_back(all[root]);
    for (size_t i = 0; i < tree.size(); ++i) {
        const auto [first, last] = children.equal_range(tree[i].pid);
        for (auto it = first; it != last; ++it) tree.push_back(all[it->second]);
    }
    return tree;
}

// The process's PSS in kB; 0 when it is gone or unreadable.
long PssKb(pid_t pid) {
    std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
    std::string key;
    long kb = 0;
    while (rollup >> key) {
        if (key == "Pss:") {
            rollup >> kb;
            return kb;
        }
        rollup.ignore(1 << 12, '\n');
    }
    return 0;
}

struct Sample {
    double megabytes = 0;
    int processes = 0;
    double cpuSeconds = 0;
};

class Sampling : public BatchView {
public:
    Sampling(Sheet& sheet, const DevToolsBrowser& browser) : sheet_(sheet), browser_(browser) {}
    void YearFilled(int) override {
        RecalculateSheet(sheet_);
        Sample sample;
        for (const Process& process : ProcessTree(browser_.BrowserProcess())) {
            sample.megabytes += static_cast<double>(PssKb(process.pid)) / 1024.0;
            sample.cpuSeconds += process.cpuSeconds;
            ++sample.processes;
        }
        samples.push_back(sample);
    }
    std::vector<Sample> samples;

private:
    Sheet& sheet_;
    const DevToolsBrowser& browser_;
};

void BM_ChromiumMemory(benchmark::State& state) {
    if (!std::filesystem::exists(BrowserConfig().chromium)) return state.SkipWithError("chromium is not installed");
    const bool popup = state.range(0) != 0;
    SimulatedPortalProcess simulator(SKARTINA_SIM_SAMPLE);
    const PortalHosts hosts = simulator.hosts();
    BrowserConfig config = simulator.HeadlessBrowser();
    config.addressBarPopup = popup;
    SteadyPumpClock clock;
    const PortalCredentials credentials{"123456783", "demo", "demo1234", false};
    std::vector<int> years;
    for (int year = 2020; year >= 2003; --year) years.push_back(year);

    std::vector<Sample> samples;
    double cpu = 0;
    for (auto _ : state) {
        auto browser = std::make_unique<DevToolsBrowser>(clock, config);
        PortalSession session{*browser, hosts, PortalTiming(), {}, {}};
        Sheet sheet;
        BuildSheetLayout(sheet, YearSelection());
        E1CodeTable e1;
        Sampling view(sheet, *browser);
        const BatchResult batch = RetrieveYears(session, {credentials, years, 0, {}}, e1, sheet, view);
        if (batch.AnyFailed() || view.samples.empty()) return state.SkipWithError("a year was not read");
        cpu += view.samples.back().cpuSeconds;
        samples.insert(samples.end(), view.samples.begin(), view.samples.end());
    }
    std::sort(samples.begin(), samples.end(), [](const Sample& a, const Sample& b) { return a.megabytes < b.megabytes; });
    const Sample& median = samples[samples.size() / 2];
    state.counters["address_bar_popup"] = popup;
    state.counters["pss_median_MB"] = median.megabytes;
    state.counters["pss_peak_MB"] = samples.back().megabytes;
    state.counters["processes"] = median.processes;
    state.counters["browser_cpu_s"] = cpu / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ChromiumMemory)->ArgName("popup")->Arg(0)->Arg(1)->Iterations(3)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace skartina
