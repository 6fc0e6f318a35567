// The login and logout sequences on a browser in memory and a fake clock:
// what they fill in and click, when they give up, which window they close.

#include "support/MemoryBrowser.h"
#include "portal/PortalLogin.h"

#include <gtest/gtest.h>

namespace skartina::test {
namespace {

const PortalHosts kHosts{"app.test:1001", "login.test:1002", "alt.test:1003"};

MemElement WithId(std::string id, std::string type = "text") {
    MemElement element;
    element.id = std::move(id);
    element.type = std::move(type);
    return element;
}

MemElement Submit(std::string name) { return Named(std::move(name), "Σύνδεση", "submit"); }

struct Fixture {
    FakeClock clock;
    MemoryBrowser browser{clock};
    PortalSession portal{browser, kHosts, PortalTiming(), {}, {}};

    // A login page whose button, when it is the login button, leads to the application page.
    void LoginPage(MemElement button) {
        button.onClick = [this] {
            MemWindow& w = browser.Window("w");
            w.address = "https://app.test:1001/webtax/incomefp/years.jsp";
            w.document = {"Φορολογία Εισοδήματος", {Named("Image17")}, {}};
        };
        browser.windows = {{"w", "https://login.test:1002/", {"LoginPage", {WithId("username"), WithId("password", "password"), button}, {}}}};
    }
    uint64_t Seconds() const { return clock.now / 1000; }
};

TEST(PortalLogin, TheTaxpayerFillsTheLoginPageAndEntersTheApplication) {
    Fixture f;
    f.LoginPage(Submit("btn_login"));
    ASSERT_TRUE(LoginTaxpayer(f.portal, "tp", "secret"));
    EXPECT_EQ(f.portal.current.window, "w");
    EXPECT_EQ(f.browser.Window("w").document.all[0].clicks, 1);  // Image17
    EXPECT_LT(f.Seconds(), 2u);
}

TEST(PortalLogin, TheFieldsReceiveTheCredentials) {
    Fixture f;
    f.browser.windows = {{"w", "https://login.test:1002/", {"LoginPage", {WithId("username"), WithId("password", "password"), Submit("btn_login")}, {}}}};
    EXPECT_FALSE(LoginTaxpayer(f.portal, "tp", "secret"));  // the button leads nowhere: no Image17 within 20 s
    const MemDocument& page = f.browser.Window("w").document;
    EXPECT_EQ(page.all[0].value, "tp");
    EXPECT_EQ(page.all[1].value, "secret");
    EXPECT_EQ(page.all[2].clicks, 1);
    EXPECT_GE(f.Seconds(), 21u);
}

TEST(PortalLogin, WithoutTheLoginButtonTheLoginFailsAtOnce) {
    Fixture f;
    f.LoginPage(Submit("btn_enter"));
    EXPECT_FALSE(LoginTaxpayer(f.portal, "tp", "secret"));
    EXPECT_EQ(f.browser.Window("w").address, "https://login.test:1002/");
    EXPECT_EQ(f.browser.Window("w").document.all[2].clicks, 0);
    EXPECT_LT(f.Seconds(), 2u);
}

TEST(PortalLogin, AWindowStillLoggedInIsUsedWithoutTheForm) {
    Fixture f;
    f.browser.windows = {{"help", "https://app.test:1001/webtax/incomefp/help.jsp", {"", {Named("Image17")}, {}}},
                         {"year", "https://app.test:1001/webtax/incomefp/year2012-income-menu.do", {"", {Named("YEAR"), Named("Image17")}, {}}}};
    ASSERT_TRUE(LoginTaxpayer(f.portal, "tp", "secret"));
    EXPECT_EQ(f.portal.current.window, "year");
    EXPECT_EQ(f.browser.Window("year").document.all[1].clicks, 1);
    EXPECT_EQ(f.browser.Window("help").document.all[0].clicks, 0) << "only a year page counts as logged in";
    EXPECT_LT(f.Seconds(), 2u);
}

TEST(PortalLogin, TheAccountantPicksTheClient) {
    Fixture f;
    f.LoginPage(Submit("btn_login"));
    MemElement image = Named("Image17");
    image.onClick = [&f] {
        MemWindow& w = f.browser.Window("w");
        w.address = "https://app.test:1001/webtax/incomefp/client.jsp";
        w.document = {"Επιλογή", {Named("username"), Named("PBIn", "Συνέχεια", "submit")}, {}};
    };
    f.browser.Window("w").document.all[2].onClick = [&f, image] {
        MemWindow& w = f.browser.Window("w");
        w.address = "https://app.test:1001/webtax/incomefp/years.jsp";
        w.document = {"", {image}, {}};
    };
    ASSERT_TRUE(LoginRepresentative(f.portal, "123456783", "acc", "pw"));
    const MemDocument& choice = f.browser.Window("w").document;
    EXPECT_EQ(choice.all[0].value, "123456783");
    EXPECT_EQ(choice.all[1].clicks, 1);
}

TEST(PortalLogin, TheAccountantWhoNeverSeesPBInFails) {
    Fixture f;
    f.LoginPage(Submit("btn_login"));
    MemElement image = Named("Image17");
    image.onClick = [&f] {
        MemWindow& w = f.browser.Window("w");
        w.address = "https://app.test:1001/webtax/incomefp/client.jsp";
        w.document = {"Επιλογή", {Named("username")}, {}};
    };
    f.browser.Window("w").document.all[2].onClick = [&f, image] {
        MemWindow& w = f.browser.Window("w");
        w.address = "https://app.test:1001/webtax/incomefp/years.jsp";
        w.document = {"", {image}, {}};
    };
    EXPECT_FALSE(LoginRepresentative(f.portal, "123456783", "acc", "pw"));
    EXPECT_EQ(f.browser.Window("w").document.all[0].value, "123456783");  // typed all the same
    EXPECT_GE(f.Seconds(), 21u);
}

// Where the logout lands, and which window is closed then.
struct LogoutCase {
    const char* landing;   // the address the logout leads to; empty: the window stays where it is
    bool closes;
    uint64_t minSeconds;   // each search that finds nothing takes its 10 s
};

class LogoutLanding : public ::testing::TestWithParam<LogoutCase> {};

TEST_P(LogoutLanding, ClosesTheWindowThePortalLeavesBehind) {
    const LogoutCase& c = GetParam();
    Fixture f;
    const std::string menu = "https://app.test:1001/webtax/incomefp/year2016-income-menu.do";
    f.browser.windows = {{"menu", menu, {"", {Named("YEAR")}, {}}}, {"other", "https://app.test:1001/webtax/incomefp/help.jsp", {}}};
    std::string navigatedTo;
    f.browser.onList = [&] {
        MemWindow& w = f.browser.windows.front();
        if (w.handle == "menu" && w.address == "https://app.test:1001/webtax/incomefp/logout.do" && *c.landing) {
            w.address = c.landing;
            w.document = {"LoginPage", {WithId("username")}, {}};
        }
    };
    const std::string closed = LogoutAndClose(f.portal, menu, "https://app.test:1001/webtax/incomefp/logout.do");
    EXPECT_EQ(closed, c.closes ? "menu" : "");
    EXPECT_EQ(f.browser.windows.size(), c.closes ? 1u : 2u);
    EXPECT_GE(f.Seconds(), c.minSeconds);
}

INSTANTIATE_TEST_SUITE_P(Cases, LogoutLanding,
                         ::testing::Values(LogoutCase{"https://login.test:1002/mylogin/login.jsp", true, 0},
                                           LogoutCase{"https://alt.test:1003/mylogin/pages/login.jsp", true, 11},
                                           LogoutCase{"https://app.test:1001/taxisnet/mytaxisnet/protected/home.htm", true, 22},
                                           LogoutCase{"", false, 33}));

TEST(PortalLogin, LogoutWithoutTheWindowLooksForTheLandingPagesAndClosesNone) {
    Fixture f;
    f.browser.windows = {{"other", "https://app.test:1001/webtax/incomefp/help.jsp", {}}};
    EXPECT_EQ(LogoutAndClose(f.portal, "year2016-income-menu.do", "https://app.test:1001/webtax/incomefp/logout.do"), "");
    EXPECT_EQ(f.browser.Window("other").address, "https://app.test:1001/webtax/incomefp/help.jsp");
    EXPECT_GE(f.Seconds(), 11u + 33u);
    EXPECT_TRUE(f.browser.closed.empty());
}

}  // namespace
}  // namespace skartina::test
