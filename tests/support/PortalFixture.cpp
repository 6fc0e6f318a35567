// SPDX-License-Identifier: GPL-3.0-or-later
#include "PortalFixture.h"

#include <filesystem>

namespace skartina::test {
namespace {

Portal* portal = nullptr;

class PortalEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!std::filesystem::exists(BrowserConfig().chromium)) return;
        portal = new Portal;
        WriteBytes(portal->data / "accounts.txt", std::string("tp secret ") + kPortalTaxNumber + "\n");
        std::filesystem::create_directories(portal->data / kPortalTaxNumber);
        WriteBytes(portal->data / kPortalTaxNumber / "2010.txt", "301 12345.67\n302 0.5\n7 1\n901 250\n");
        WriteBytes(portal->data / kPortalTaxNumber / "2005.txt", "301 1000\n9 1\n601 1234.56\n901 3\n");
        portal->simulator = std::make_unique<SimulatedPortalProcess>(portal->data.path());
        portal->hosts = portal->simulator->hosts();
        portal->browser = std::make_unique<DevToolsBrowser>(portal->clock, portal->simulator->HeadlessBrowser());
    }
    void TearDown() override {
        delete portal;  // the browser quits, then the simulator is stopped
        portal = nullptr;
    }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new PortalEnvironment);

}  // namespace

Portal* SharedPortal() { return portal; }

void PortalTest::SetUp() {
    ASSERT_TRUE(portal) << "chromium is not installed (scripts/install-deps)";
    browser().BrowserQuit();
}

BrowserRef PortalTest::LogIn() {
    const BrowserRef window = browser().OpenApplication();
    browser().Navigate(window, hosts().AppAddress("/webtax/incomefp/index.jsp"), false);
    const WindowFound login = browser().WaitForElement("https://" + hosts().login, "password", MatchMode::Id);
    EXPECT_TRUE(login.found);
    std::optional<ElementRef> button;
    for (const ElementFields& field : browser().SearchedElements(login.document)) {
        if (field.id == "username") browser().SetValue(field.element, "tp");
        if (field.id == "password") browser().SetValue(field.element, "secret");
        if ((field.type == "submit" || field.type == "SUBMIT") && field.name == "btn_login") button = field.element;
    }
    EXPECT_TRUE(button);
    if (button) browser().Click(*button);
    EXPECT_TRUE(browser().WaitForElement(hosts().AppAddress("/webtax/incomefp"), "Image17", MatchMode::Name).found);
    return window;
}

}  // namespace skartina::test
