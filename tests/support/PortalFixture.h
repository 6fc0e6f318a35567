// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The simulated portal and one headless browser, shared by every test of the
// portal test program; both are stopped at the end of the run, also after a
// failed test. Each test starts from a new browser without the portal's cookies.

#include "TestSupport.h"
#include "browser/DevToolsBrowser.h"
#include "portal/PortalHosts.h"
#include "tools/portal-sim/SimulatedPortalProcess.h"

#include <gtest/gtest.h>

#include <memory>

namespace skartina::test {

inline constexpr const char* kPortalTaxNumber = "123456783";

struct Portal {
    TempDir data;
    std::unique_ptr<SimulatedPortalProcess> simulator;
    PortalHosts hosts;
    SteadyPumpClock clock;
    std::unique_ptr<DevToolsBrowser> browser;
};

// The shared portal; null when it could not be started.
Portal* SharedPortal();

class PortalTest : public ::testing::Test {
protected:
    void SetUp() override;
    DevToolsBrowser& browser() { return *SharedPortal()->browser; }
    const PortalHosts& hosts() { return SharedPortal()->hosts; }

    // Logs in through the login page as a person would, and lands on the application page.
    BrowserRef LogIn();
};

}  // namespace skartina::test
