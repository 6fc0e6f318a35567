// SPDX-License-Identifier: GPL-3.0-or-later
// The browser against the simulated portal, with headless Chromium.

#include "support/PortalFixture.h"
#include "browser/BrowserConfig.h"
#include "portal/E1PageReader.h"
#include "portal/PortalPages.h"

#include <signal.h>

#include <chrono>
#include <thread>

namespace skartina::test {
namespace {

class PortalEndToEnd : public PortalTest {
protected:
    void Print(const std::string& menuAddress) {
        const WindowFound menu = browser().FindBrowserByUrl(menuAddress);
        ASSERT_TRUE(menu.found);
        const auto print = browser().FindElementByName(menu.document, "PBE1_PRINT");
        ASSERT_TRUE(print);
        browser().Click(*print);
    }
    // The year's return, once its window shows it, into the table; its window closed.
    bool ReadReturn(const std::string& address, E1CodeTable& e1) {
        const WindowFound page = browser().WaitForElement(address, "n901", MatchMode::Name);
        if (!page.found) return false;
        const std::vector<ElementFields> fields = browser().SearchedElements(page.document);
        EXPECT_TRUE(FieldsNameTaxNumber(fields, kPortalTaxNumber)) << "the return names the client";
        StoreE1Fields(fields, e1);
        browser().CloseWindow(page.browser.window);
        return true;
    }
};

TEST_F(PortalEndToEnd, ReadsThe2010ReturnIntoTheTable) {
    const BrowserRef window = LogIn();
    const std::string menu = hosts().AppAddress("/webtax/incomefp/year2010-income-menu.do");
    browser().Navigate(window, menu, true);
    Print(menu);

    E1CodeTable e1;
    ASSERT_TRUE(ReadReturn(hosts().AppAddress("/webtax/incomefp/year2010-income-menu.do?print=e1"), e1));
    EXPECT_DOUBLE_EQ(e1[301], 12345.67);
    EXPECT_DOUBLE_EQ(e1[302], 0.5);
    EXPECT_EQ(e1[7], 1);  // ticked
    EXPECT_EQ(e1[8], 0);  // shown, not ticked
    EXPECT_EQ(e1[901], 250);
    // The page's other names (n1000, n0, nabc, N301, unnamed) were passed over.
    EXPECT_EQ(e1[0], 0);
    EXPECT_EQ(e1[1000], 0);
    // The return's window is closed; the menu stays.
    EXPECT_FALSE(browser().FindWindowByTitle(page::kReturnWindowTitle));
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
    ASSERT_TRUE(ReadReturn(hosts().AppAddress("/webtax/incomefp/Year_2005/income/e1/e1_print_frames_mm_2005.jsp"), e1));
    EXPECT_EQ(e1[301], 1000);
    EXPECT_EQ(e1[9], 1);
    EXPECT_EQ(e1[10], 0);
    EXPECT_DOUBLE_EQ(e1[601], 1234.56);  // from the second frame
    EXPECT_EQ(e1[901], 3);
    EXPECT_FALSE(browser().FindWindowByTitle(page::kReturnWindowTitle));
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

TEST_F(PortalEndToEnd, AnActionOnAnElementOfAReplacedPageFails) {
    const BrowserRef window = LogIn();
    const WindowFound years = browser().FindBrowserByUrl("/webtax/incomefp/years.jsp");
    ASSERT_TRUE(years.found);
    const auto image = browser().FindElementByName(years.document, "Image17");
    ASSERT_TRUE(image);
    // The same page loaded again holds an element at the same place, but it is another page.
    browser().Navigate(window, hosts().AppAddress("/webtax/incomefp/years.jsp"), true);
    EXPECT_THROW(browser().Click(*image), BrowserError);
    EXPECT_THROW(browser().Attribute(*image, "name"), BrowserError);
    EXPECT_TRUE(browser().HasApplication());
    const auto again = browser().FindElementByName(years.document, "Image17");
    ASSERT_TRUE(again);
    EXPECT_EQ(browser().Attribute(*again, "name"), "Image17");
}

TEST_F(PortalEndToEnd, KeepsTheBytesOfTheReportAWindowOpensAsTheyArrive) {
    const BrowserRef window = LogIn();
    const std::string report = hosts().AppAddress("/reports/rwservlet?report=e1&year=2010");
    browser().Evaluate(window.window, "window.open(arguments[0], '_blank');", nlohmann::json::array({report}));
    std::string bytes;
    browser().PollPasses(10, [&] {
        const WindowFound shown = browser().FindBrowserByUrl("/reports/rwservlet?");
        if (shown.found) bytes = browser().DocumentBytes(shown.document);
        return !bytes.empty();
    });
    EXPECT_EQ(bytes.rfind("%PDF-", 0), 0u);
    EXPECT_NE(bytes.find("%%EOF", bytes.size() - 16), std::string::npos);
}

TEST_F(PortalEndToEnd, ABrowserThatDiesEndsTheApplicationAndTheNextOpensAnew) {
    const BrowserRef window = browser().OpenApplication();
    const pid_t chromium = browser().BrowserProcess();
    const std::filesystem::path profile = browser().ProfileFolder();
    ASSERT_EQ(kill(chromium, SIGKILL), 0);
    // Its windows go with it as soon as its threads are torn down.
    bool gone = false;
    for (int waited = 0; waited < 500 && !gone; ++waited) {
        gone = browser().Windows().empty();
        if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(gone);
    EXPECT_FALSE(browser().HasApplication());
    EXPECT_FALSE(std::filesystem::exists(profile));
    EXPECT_THROW(browser().Navigate(window, "about:blank", false), BrowserError);
    const BrowserRef again = browser().OpenApplication();
    EXPECT_NE(browser().BrowserProcess(), chromium);
    EXPECT_EQ(browser().Windows().size(), 1u);
    EXPECT_NE(again.window, window.window);
}

TEST_F(PortalEndToEnd, PlacesTheWindowWhereItIsTold) {
    const BrowserRef window = browser().OpenApplication();
    browser().PlaceBrowserWindow({40, 60, 750, 500});
    // The page learns its window's new place a moment later.
    const nlohmann::json wanted = {40, 60, 750, 500};
    nlohmann::json placed;
    browser().PollPasses(3, [&] {
        placed = browser().Evaluate(window.window, "return [screenX, screenY, outerWidth, outerHeight];");
        return placed == wanted;
    });
    EXPECT_EQ(placed, wanted);
}

// The simulated portal's certificate is its own: only a browser told to accept it opens the portal.
TEST_F(PortalEndToEnd, ASelfMadeCertificateIsRefusedUnlessAccepted) {
    BrowserConfig config;
    config.headless = true;
    config.popupHosts = {hosts().app};
    DevToolsBrowser strict(SharedPortal()->clock, config);
    EXPECT_THROW(strict.Navigate(strict.OpenApplication(), hosts().AppAddress("/webtax/incomefp/index.jsp"), false), BrowserError);
}

TEST(BrowserConfig, TheInsecureCertificateSwitchIsForThisMachineOnly) {
    for (const char* host : {"127.0.0.1", "127.0.0.1:4433", "localhost:8443", "[::1]:443", "::1"})
        EXPECT_TRUE(IsLoopbackHost(host)) << host;
    for (const char* host : {"www1.aade.gr", "127.0.0.1.evil.example", "localhost.example:443", "[::1]x", "10.0.0.1"})
        EXPECT_FALSE(IsLoopbackHost(host)) << host;
}

}  // namespace
}  // namespace skartina::test
