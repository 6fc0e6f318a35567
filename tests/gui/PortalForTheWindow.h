#pragma once
// The simulated portal on the sample data for the window tests, its hosts in
// the configuration the analysis window reads; stopped, and the configuration
// cleared, when the object ends.

#include "browser/ChildProcess.h"

#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace skartina::test {

class PortalForTheWindow {
public:
    PortalForTheWindow() {
        simulator_ = std::make_unique<ChildProcess>(SKARTINA_PORTAL_SIM, std::vector<std::string>{"--data", SKARTINA_SIM_SAMPLE}, true);
        std::istringstream line(simulator_->ReadLine(10000));
        std::string app, login, alt;
        line >> app >> login >> alt;
        setenv("SKARTINA_PORTAL_APP_HOST", app.c_str(), 1);
        setenv("SKARTINA_PORTAL_LOGIN_HOST", login.c_str(), 1);
        setenv("SKARTINA_PORTAL_ALT_LOGIN_HOST", alt.c_str(), 1);
        setenv("SKARTINA_BROWSER_HEADLESS", "1", 1);
        setenv("SKARTINA_PORTAL_INSECURE_TLS", "1", 1);
    }
    ~PortalForTheWindow() {
        for (const char* variable : {"SKARTINA_PORTAL_APP_HOST", "SKARTINA_PORTAL_LOGIN_HOST", "SKARTINA_PORTAL_ALT_LOGIN_HOST",
                                     "SKARTINA_BROWSER_HEADLESS", "SKARTINA_PORTAL_INSECURE_TLS"})
            unsetenv(variable);
    }

private:
    std::unique_ptr<ChildProcess> simulator_;
};

}  // namespace skartina::test
