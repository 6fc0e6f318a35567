// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The analysis window on the simulated portal, shown with the sample client's
// tax number and login, as the window tests that retrieve start it.

#include "browser/BrowserConfig.h"
#include "gui/AnalysisWindow.h"
#include "gui/TaxNumberEdit.h"
#include "support/GuiTestSupport.h"
#include "tools/portal-sim/SimulatedPortalProcess.h"

#include <QLineEdit>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace skartina::test {

struct PortalWindowTest : ::testing::Test {
    // Starts the simulator with `switches`, then the window filled in for the sample client.
    void StartPortalAndWindow(const std::vector<std::string>& switches = {}) {
        const BrowserConfig defaults;
        ASSERT_TRUE(std::filesystem::exists(defaults.chromium)) << "Chromium is needed (scripts/install-deps installs it)";
        portal = std::make_unique<SimulatedPortalProcess>(SKARTINA_SIM_SAMPLE, switches);
        portal->ExportEnvironment();
        window = std::make_unique<AnalysisWindow>(dir.path(), desktop.services());
        window->show();
        Find<TaxNumberEdit>(*window, "taxNumberEdit")->setText("123456783");
        Find<QLineEdit>(*window, "portalUserEdit")->setText("demo");
        Find<QLineEdit>(*window, "portalPasswordEdit")->setText("demo1234");
    }
    void TearDown() override { window.reset(); }  // the window's browser quits before the portal stops

    TempDir dir;
    FakeDesktop desktop;
    std::unique_ptr<SimulatedPortalProcess> portal;
    std::unique_ptr<AnalysisWindow> window;
};

}  // namespace skartina::test
