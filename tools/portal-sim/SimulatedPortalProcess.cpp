// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/portal-sim/SimulatedPortalProcess.h"

#include <cstdlib>
#include <sstream>
#include <stdexcept>

namespace skartina {
namespace {

std::vector<std::string> Arguments(const std::filesystem::path& data, const std::vector<std::string>& switches) {
    std::vector<std::string> arguments = {"--data", data.string()};
    arguments.insert(arguments.end(), switches.begin(), switches.end());
    return arguments;
}

}  // namespace

// SKARTINA_PORTAL_SIM is the simulator program, given by the build (tools/portal-sim/CMakeLists.txt).
SimulatedPortalProcess::SimulatedPortalProcess(const std::filesystem::path& data, const std::vector<std::string>& switches)
    : process_(SKARTINA_PORTAL_SIM, Arguments(data, switches), true) {
    // A throw from here on still stops the process: it is a finished member.
    const std::string line = process_.ReadLine(10000);
    std::istringstream words(line);
    words >> hosts_.app >> hosts_.login >> hosts_.altLogin;
    if (hosts_.altLogin.empty()) throw std::runtime_error("the simulated portal did not name its hosts: «" + line + "»");
}

SimulatedPortalProcess::~SimulatedPortalProcess() {
    if (exported_)
        for (const auto& [name, value] : Environment()) unsetenv(name.c_str());
}

std::vector<std::pair<std::string, std::string>> SimulatedPortalProcess::Environment() const {
    return {{"SKARTINA_PORTAL_APP_HOST", hosts_.app},
            {"SKARTINA_PORTAL_LOGIN_HOST", hosts_.login},
            {"SKARTINA_PORTAL_ALT_LOGIN_HOST", hosts_.altLogin},
            {"SKARTINA_BROWSER_HEADLESS", "1"},
            {"SKARTINA_PORTAL_INSECURE_TLS", "1"}};
}

void SimulatedPortalProcess::ExportEnvironment() {
    for (const auto& [name, value] : Environment()) setenv(name.c_str(), value.c_str(), 1);
    exported_ = true;
}

BrowserConfig SimulatedPortalProcess::HeadlessBrowser() const {
    BrowserConfig config;
    config.headless = true;
    config.acceptInsecureCerts = true;
    config.popupHosts = {hosts_.app, hosts_.login, hosts_.altLogin};
    return config;
}

}  // namespace skartina
