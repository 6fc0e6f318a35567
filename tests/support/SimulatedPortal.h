// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The simulated portal started for one test (with the faults it needs), a
// headless Chromium allowed to open its pop-ups, and the sample client's
// returns as the program reads them. Both stop when the object ends.

#include "TestSupport.h"
#include "e1/CodeList.h"
#include "browser/DevToolsBrowser.h"
#include "tools/portal-sim/SimulatedPortalProcess.h"

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace skartina::test {

inline const std::filesystem::path kSimSample = SKARTINA_SIM_SAMPLE;
inline constexpr const char* kSampleTaxNumber = "123456783";

struct SimulatedPortal {
    SimulatedPortal(const std::vector<std::string>& switches, PumpClock& pumpClock)
        : simulator(kSimSample, switches),
          hosts(simulator.hosts()),
          browser(std::make_unique<DevToolsBrowser>(pumpClock, simulator.HeadlessBrowser())) {}
    ~SimulatedPortal() {
        browser.reset();  // the browser quits before the portal stops
    }
    SimulatedPortalProcess simulator;
    PortalHosts hosts;
    std::unique_ptr<DevToolsBrowser> browser;
};

// The simulator's environment as "NAME=value" words, for env(1) or a child's environment.
inline std::vector<std::string> EnvironmentWords(const SimulatedPortalProcess& simulator) {
    std::vector<std::string> words;
    for (const auto& [name, value] : simulator.Environment()) words.push_back(name + "=" + value);
    return words;
}

// The same as "NAME=value " words for a shell command line.
inline std::string ShellEnvironment(const SimulatedPortalProcess& simulator) {
    std::string line;
    for (const std::string& word : EnvironmentWords(simulator)) line += word + " ";
    return line;
}

// The sample client's codes of the year as the reader files them: from 2015
// the report's 115 and 117 go under 515 and 517.
inline E1CodeTable SampleReturn(int year) {
    E1CodeTable e1;
    ReadCodeList(ReadBytes(kSimSample / kSampleTaxNumber / (std::to_string(year) + ".txt")), e1);
    if (year > 2014) {
        for (const auto& [from, to] : {std::pair{115, 515}, std::pair{117, 517}}) {
            e1.set(to, e1[from]);
            e1.set(from, 0);
        }
    }
    return e1;
}

}  // namespace skartina::test
