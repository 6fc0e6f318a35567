// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The simulated portal as a child of a test or a benchmark: started on a data
// folder with the faults asked for, its three hosts read from its first line.
// It is stopped when the object ends, and also when it fails to start; the
// configuration it exported is cleared then too.

#include "browser/BrowserConfig.h"
#include "browser/ChildProcess.h"
#include "portal/PortalHosts.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace skartina {

class SimulatedPortalProcess {
public:
    // Throws std::runtime_error when the simulator does not name its hosts within 10 s.
    explicit SimulatedPortalProcess(const std::filesystem::path& data, const std::vector<std::string>& switches = {});
    ~SimulatedPortalProcess();
    SimulatedPortalProcess(const SimulatedPortalProcess&) = delete;
    SimulatedPortalProcess& operator=(const SimulatedPortalProcess&) = delete;

    const PortalHosts& hosts() const { return hosts_; }
    pid_t pid() const { return process_.pid(); }
    // The portal goes away, as a server that stops mid-run.
    void Stop() { process_.Stop(); }

    // What a program that reads the portal through this simulator needs in its
    // environment: the three hosts, a headless browser, the simulator's own certificate.
    std::vector<std::pair<std::string, std::string>> Environment() const;
    // Sets that environment in this process, for the browsers it starts from now
    // on; cleared again when the object ends.
    void ExportEnvironment();
    // A headless browser that takes the simulator's certificate and its pop-ups.
    BrowserConfig HeadlessBrowser() const;

private:
    ChildProcess process_;
    PortalHosts hosts_;
    bool exported_ = false;
};

}  // namespace skartina
