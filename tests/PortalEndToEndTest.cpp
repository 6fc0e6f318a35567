// The chromedriver browser against the simulated portal, with headless
// Chromium: one simulator, chromedriver and Chromium for the whole run,
// always stopped at its end, also after a failed test.

#include "TestSupport.h"
#include "portal/E1PageReader.h"
#include "portal/WebDriverBrowser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>

namespace skartina::test {
namespace {

constexpr const char* kAfm = "123456789";

bool ChromiumPresent() {
    const BrowserConfig defaults;
    return std::filesystem::exists(defaults.chromium) && std::filesystem::exists(defaults.chromedriver);
}

struct Portal {
    TempDir data;
    std::unique_ptr<ChildProcess> simulator;
    PortalHosts hosts;
    SteadyPumpClock clock;
    std::unique_ptr<WebDriverBrowser> browser;
};

Portal* portal = nullptr;

class PortalEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!ChromiumPresent()) return;
        portal = new Portal;
        WriteBytes(portal->data / "accounts.txt", std::string("tp secret ") + kAfm + "\n");
        std::filesystem::create_directories(portal->data / kAfm);
        WriteBytes(portal->data / kAfm / "2010.txt", "301 12345.67\n302 0.5\n7 1\n901 250\n");
        WriteBytes(portal->data / kAfm / "2005.txt", "301 1000\n9 1\n601 1234.56\n901 3\n");
        portal->simulator = std::make_unique<ChildProcess>(SKARTINA_PORTAL_SIM,
                                                           std::vector<std::string>{"--data", portal->data.path().string()}, true);
        std::istringstream hosts(portal->simulator->ReadLine(10000));
        hosts >> portal->hosts.app >> portal->hosts.login >> portal->hosts.altLogin;
        BrowserConfig config;
        config.headless = true;
        config.acceptInsecureCerts = true;
        config.popupHosts = {portal->hosts.app, portal->hosts.login, portal->hosts.altLogin};
        portal->browser = std::make_unique<WebDriverBrowser>(portal->clock, config);
    }
    void TearDown() override {
        delete portal;  // the browser quits, then chromedriver and the simulator are stopped
        portal = nullptr;
    }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new PortalEnvironment);

class PortalEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        // A missing browser is a broken installation, not a reason to pass.
        ASSERT_TRUE(portal) << "Chromium and chromedriver are needed (scripts/install-deps installs them)";
        // Each test starts from a new browser without the portal's cookies.
        browser().BrowserQuit();
    }
    WebDriverBrowser& browser() { return *portal->browser; }
    const PortalHosts& hosts() { return portal->hosts; }

    // Logs in through the login page as a person would, and lands on the application page.
    BrowserRef LogIn() {
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

    void Print(const std::string& menuAddress) {
        const WindowFound menu = browser().FindBrowserByUrl(menuAddress);
        ASSERT_TRUE(menu.found);
        const auto print = browser().FindElementByName(menu.document, "PBE1_PRINT");
        ASSERT_TRUE(print);
        browser().Click(*print);
    }
};

TEST_F(PortalEndToEnd, ReadsThe2010ReturnIntoTheTable) {
    const BrowserRef window = LogIn();
    const std::string menu = hosts().AppAddress("/webtax/incomefp/year2010-income-menu.do");
    browser().Navigate(window, menu, true);
    Print(menu);

    E1CodeTable e1;
    const auto found = ReadE1Page(browser(), hosts(), "2010", e1);
    ASSERT_TRUE(found);
    EXPECT_DOUBLE_EQ(e1[301], 12345.67);
    EXPECT_DOUBLE_EQ(e1[302], 0.5);
    EXPECT_EQ(e1[7], 1);  // ticked
    EXPECT_EQ(e1[8], 0);  // shown, not ticked
    EXPECT_EQ(e1[901], 250);
    // The page's other names (n1000, n0, nabc, N301, unnamed) were passed over.
    EXPECT_EQ(e1[0], 0);
    EXPECT_EQ(e1[1000], 0);
    // The return's window is closed; the menu stays.
    EXPECT_FALSE(browser().FindWindowByTitle(kReturnWindowTitle));
    EXPECT_TRUE(browser().FindBrowserByUrl(menu).found);
}

TEST_F(PortalEndToEnd, ReadsTheFramed2005ReturnThroughTheYearList) {
    const BrowserRef window = LogIn();
    // The start page's year list leads to the 2005 menu.
    const auto image = browser().FindElementByName(browser().FindBrowserByUrl("/webtax/incomefp/years.jsp").document, "Image17");
    ASSERT_TRUE(image);
    browser().Click(*image);
    const WindowFound start = browser().WaitForElement(hosts().AppAddress("/webtax/incomefp/login.do"), "YEAR", MatchMode::Name);
    ASSERT_TRUE(start.found);
    const auto list = browser().FindElementByName(start.document, "YEAR");
    ASSERT_TRUE(list);
    const int index = browser().OptionIndexOfText(*list, "2005");
    EXPECT_EQ(browser().OptionIndexOfText(*list, "2006"), -1);
    browser().SetSelectedIndex(*list, index);
    browser().FireChange(*list);
    const std::string menu = hosts().AppAddress("/webtax/incomefp/year2005-income-menu.do");
    ASSERT_TRUE(browser().WaitForElement(menu, "PBE1_PRINT", MatchMode::Name).found);
    Print(menu);

    E1CodeTable e1;
    ASSERT_TRUE(ReadE1Page(browser(), hosts(), "2005", e1));
    EXPECT_EQ(e1[301], 1000);
    EXPECT_EQ(e1[9], 1);
    EXPECT_EQ(e1[10], 0);
    EXPECT_DOUBLE_EQ(e1[601], 1234.56);  // from the second frame
    EXPECT_EQ(e1[901], 3);
    EXPECT_FALSE(browser().FindWindowByTitle(kReturnWindowTitle));
    (void)window;
}

TEST_F(PortalEndToEnd, ClosingTheLastWindowEndsTheApplicationAndTheNextOpensAnew) {
    const BrowserRef window = browser().OpenApplication();
    for (const OpenWindow& open : browser().Windows()) browser().CloseWindow(open.handle);
    EXPECT_FALSE(browser().HasApplication());
    EXPECT_TRUE(browser().Windows().empty());
    const BrowserRef again = browser().OpenApplication();
    EXPECT_TRUE(browser().HasApplication());
    EXPECT_NE(again.window, window.window);
}

}  // namespace
}  // namespace skartina::test
