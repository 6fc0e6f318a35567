// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated portal made to differ from ours the way an older portal may:
// print buttons that open their window otherwise, a return that arrives in two
// parts with its first field first, dialogs, sessions that end after a few
// pages, the tax number as text, frames of widgets on the menus and on the
// returns, pages refused to a
// headless browser. Each run either reads exactly the sheet the plain portal
// gives or ends with its own sentence and a diagnostics bundle: never a year
// "read" with other figures. Each run's time is printed beside the plain run's.

#include "support/SimulatedPortal.h"
#include "support/TestSupport.h"
#include "e1/YearRules.h"
#include "portal/BatchRetrieval.h"
#include "portal/YearSources.h"
#include "sheet/Recalculate.h"
#include "sheet/SheetLayout.h"
#include "support/PortalGridForms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <regex>
#include <sstream>
#include <cstdio>
#include <thread>

namespace skartina::test {
namespace {

const PortalCredentials kTaxpayer{kSampleTaxNumber, "demo", "demo1234", false};
const PortalCredentials kAccountant{kSampleTaxNumber, "logistis", "demo5678", true};

SheetGrid NewSheet() {
    SheetGrid grid;
    BuildSheetLayout(grid, YearSelection());
    return grid;
}

// The sheet the plain portal gives for the years: the year rules over the sample's returns.
SheetGrid PlainSheet(const std::vector<int>& years) {
    SheetGrid grid = NewSheet();
    for (int year : years) {
        E1CodeTable e1 = SampleReturn(year);
        RunYearRules(e1, grid, year);
    }
    RecalculateSheet(grid);
    return grid;
}

struct CountingView : BatchView {
    explicit CountingView(SheetGrid& g) : grid(g) {}
    void YearFilled(int) override { RecalculateSheet(grid); }
    SheetGrid& grid;
};

struct RunResult {
    BatchResult result;
    SheetGrid grid = NewSheet();
    double seconds = 0;
};

class PortalVariation : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists(BrowserConfig().chromium)) << "Chromium is needed (scripts/install-deps installs it)";
    }

    RunResult RunYears(const std::vector<std::string>& switches, const std::vector<int>& years,
                 const PortalCredentials& credentials = kTaxpayer, bool fixedPauses = false) {
        SimulatedPortal portal(switches, clock);
        PortalSession session{*portal.browser, portal.hosts, PortalTimingFromEnvironment(), {}, {}};
        RunResult run;
        E1CodeTable e1;
        CountingView view(run.grid);
        const auto start = std::chrono::steady_clock::now();
        run.result = RetrieveYears(session, {credentials, years, 0, sources, fixedPauses}, e1, run.grid, view);
        run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_FALSE(portal.browser->HasApplication()) << "the browser is closed at the end";
        return run;
    }

    // The run with the switches against the plain portal's run of the same years, timed side by side.
    RunResult Compare(const std::string& name, const std::vector<std::string>& switches, const std::vector<int>& years,
                const PortalCredentials& credentials = kTaxpayer, bool fixedPauses = false) {
        const RunResult plain = RunYears({}, years, credentials, fixedPauses);
        RunResult varied = RunYears(switches, years, credentials, fixedPauses);
        std::printf("variation %-28s %6.2f s, plain %6.2f s, ratio %.2f\n", name.c_str(), varied.seconds, plain.seconds,
                    plain.seconds > 0 ? varied.seconds / plain.seconds : 0.0);
        for (const YearResult& year : plain.result.years) EXPECT_EQ(year.end.ending, Ending::Read) << year.Sentence();
        EXPECT_EQ(plain.grid, PlainSheet(years));
        return varied;
    }

    SteadyPumpClock clock{[] { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }};
    TempDir tables;
    std::filesystem::path sources = SourcesFolder(tables.path(), kSampleTaxNumber);
};

// A variation the program must read as if it were the plain portal.
struct SameFigures {
    const char* name;
    std::vector<std::string> switches;
    std::vector<int> years;
    bool accountant = false;
    bool fixedPauses = false;
};

class PortalVariationSameFigures : public PortalVariation, public ::testing::WithParamInterface<SameFigures> {};

TEST_P(PortalVariationSameFigures, GivesThePlainPortalsSheet) {
    const SameFigures& c = GetParam();
    const RunResult run = Compare(c.name, c.switches, c.years, c.accountant ? kAccountant : kTaxpayer, c.fixedPauses);
    ASSERT_EQ(run.result.years.size(), c.years.size());
    for (const YearResult& year : run.result.years) EXPECT_EQ(year.end.ending, Ending::Read) << year.Sentence();
    EXPECT_EQ(run.grid, PlainSheet(c.years));
}

const std::vector<int> kEveryKind = {2016, 2010, 2005, 2004};  // a report, a return, the return of frames, a year of the list

INSTANTIATE_TEST_SUITE_P(
    Variations, PortalVariationSameFigures,
    ::testing::Values(SameFigures{"WindowWithoutOpener", {"--print-opens", "noopener"}, kEveryKind},
                      SameFigures{"LinkToANewWindow", {"--print-opens", "link"}, kEveryKind},
                      SameFigures{"FormToANewWindow", {"--print-opens", "form"}, kEveryKind},
                      SameFigures{"ReturnArrivingInTwoParts", {"--stream-return", "2500"}, {2010, 2005}},
                      SameFigures{"ReturnInTwoPartsPatient", {"--stream-return", "2500"}, {2010}, false, true},
                      SameFigures{"DialogOnTheYearMenus", {"--alert", "Η υπηρεσία θα διακοπεί στις 23:00."}, kEveryKind},
                      SameFigures{"DialogOnTheYearMenusPatient", {"--alert", "Η υπηρεσία θα διακοπεί στις 23:00."}, {2016}, false,
                                  true},
                      SameFigures{"SessionEndingAfterFivePages", {"--expire-after", "5"}, {2016, 2015, 2010, 2009, 2004}},
                      SameFigures{"SessionEndingForTheAccountant", {"--expire-after", "6"}, {2016, 2015, 2010, 2009}, true},
                      SameFigures{"TaxNumberAsText", {"--afm-as", "text"}, {2010, 2005}},
                      SameFigures{"TaxNumberInBoxes", {"--afm-as", "boxes"}, {2010, 2005}},
                      SameFigures{"WidgetFramesOnTheMenus", {"--menu-widgets"}, kEveryKind},
                      SameFigures{"WidgetFramesOnTheReturns", {"--return-widgets"}, {2010, 2005, 2004}},
                      SameFigures{"WidgetFramesOnTheReturnsTaxNumberAsText", {"--return-widgets", "--afm-as", "text"}, {2010, 2005}},
                      SameFigures{"WidgetFramesOnTheReturnsAndMenus", {"--return-widgets", "--menu-widgets"}, {2010, 2005}},
                      SameFigures{"ConfirmOnTheYearMenus", {"--confirm", "Να συνεχίσετε;"}, kEveryKind},
                      SameFigures{"LeaveQuestionOnTheYearMenus", {"--beforeunload"}, kEveryKind},
                      SameFigures{"DialogOnTheReturns", {"--return-alert", "Ελέγξτε τα στοιχεία σας."}, {2010, 2005, 2004}},
                      SameFigures{"HeadlessRefused", {"--refuse-headless"}, {2016, 2010}}),
    [](const auto& info) { return std::string(info.param.name); });

// A variation that ends the year with its own ending, told about as soon as
// the plain portal's run of the same request ends; timed beside it.
struct SameEnding {
    const char* name;
    std::vector<std::string> switches;
    int year;
    const char* password;
    Ending ending;
};

class PortalVariationEnding : public PortalVariation, public ::testing::WithParamInterface<SameEnding> {};

TEST_P(PortalVariationEnding, EndsTheYearWithItsOwnSentenceAndTheBundle) {
    const SameEnding& c = GetParam();
    PortalCredentials credentials = kTaxpayer;
    credentials.password = c.password;
    const RunResult plain = RunYears({}, {c.year}, credentials);
    const RunResult varied = RunYears(c.switches, {c.year}, credentials);
    std::printf("variation %-28s %6.2f s, plain %6.2f s, ratio %.2f\n", c.name, varied.seconds, plain.seconds,
                plain.seconds > 0 ? varied.seconds / plain.seconds : 0.0);
    ASSERT_EQ(varied.result.years.size(), 1u);
    const YearEnding& end = varied.result.years.front().end;
    EXPECT_EQ(end.ending, c.ending) << varied.result.years.front().Sentence();
    EXPECT_EQ(varied.grid, NewSheet()) << "the year's columns stay as they were";
    if (KeepsDiagnostics(c.ending)) {
        EXPECT_TRUE(std::filesystem::exists(end.diagnostics / "steps.txt")) << varied.result.years.front().Sentence();
        EXPECT_TRUE(std::filesystem::exists(end.diagnostics / "page.html")) << varied.result.years.front().Sentence();
    }
    EXPECT_LT(varied.seconds, plain.seconds + 10) << "told from the portal's answer, not waited out";
}

INSTANTIATE_TEST_SUITE_P(
    Variations, PortalVariationEnding,
    ::testing::Values(SameEnding{"WrongPasswordAsAnErrorPage", {"--login-error-page"}, 2016, "wrong", Ending::WrongCredentials},
                      SameEnding{"UnreadableReport", {"--unreadable-report-in", "2016"}, 2016, "demo1234", Ending::ReportUnread}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PortalVariation, ASessionEndedAgainAndAgainLogsInOnceAYearAndSaysSo) {
    TempDir logins;
    const RunResult run = Compare("SessionEndedEveryYearTwice", {"--expire-after", "3", "--login-log", (logins / "log").string()},
                            {2016, 2010});
    ASSERT_EQ(run.result.years.size(), 2u);
    for (const YearResult& year : run.result.years) {
        EXPECT_EQ(year.end.ending, Ending::SessionExpired) << year.Sentence();
        EXPECT_TRUE(std::filesystem::exists(year.end.diagnostics / "steps.txt")) << year.Sentence();
        EXPECT_TRUE(std::filesystem::exists(year.end.diagnostics / "page.html")) << year.Sentence();
    }
    // One login to start and one again in each year; the second end of a year is not logged into again.
    EXPECT_EQ(ReadBytes(logins / "log"), "demo\ndemo\ndemo\n");
    EXPECT_EQ(run.grid, NewSheet()) << "no year of the run filled its columns";
}

// An 18-year run's network log: every connection the browser opened is to
// this machine (the portal's), and every page it loaded is the portal's. What
// the browser still tries of its own (its account and update services) never
// leaves the machine: no name but the portal's resolves.
TEST_F(PortalVariation, TheBrowserReachesThePortalAndNobodyElse) {
    TempDir logs;
    SimulatedPortal portal({}, clock);
    BrowserConfig config = portal.simulator.HeadlessBrowser();
    config.netLog = (logs / "net.json").string();
    portal.browser = std::make_unique<DevToolsBrowser>(clock, config);
    PortalSession session{*portal.browser, portal.hosts, PortalTimingFromEnvironment(), {}, {}};
    std::vector<int> years;
    for (int year = 2003; year <= 2020; ++year) years.push_back(year);
    SheetGrid grid = NewSheet();
    E1CodeTable e1;
    CountingView view(grid);
    const BatchResult result = RetrieveYears(session, {kTaxpayer, years, 0, sources, false}, e1, grid, view);
    EXPECT_FALSE(result.AnyFailed());
    portal.browser.reset();

    const std::string log = ReadBytes(logs / "net.json");
    const size_t events = log.find("\"events\"");
    ASSERT_NE(events, std::string::npos) << "no network log was written";
    const auto from = log.begin() + static_cast<long>(events);
    const std::string portalHosts[] = {portal.hosts.app, portal.hosts.login, portal.hosts.altLogin};
    // The log's event types by name, from its constants.
    const auto typeOf = [&](const std::string& name) {
        std::smatch match;
        EXPECT_TRUE(std::regex_search(log, match, std::regex("\"" + name + "\":([0-9]+)"))) << name;
        return "\"type\":" + match[1].str() + "}";
    };
    const std::string tcpConnect = typeOf("TCP_CONNECT_ATTEMPT"), udpSent = typeOf("UDP_BYTES_SENT");
    int connections = 0, pages = 0;
    const std::regex connection(R"RE("address":"([^"]*)")RE");
    std::istringstream lines(log.substr(events));
    for (std::string line; std::getline(lines, line);) {
        EXPECT_EQ(line.find(udpSent), std::string::npos) << "a datagram sent: " << line;
        if (line.find(tcpConnect) == std::string::npos) continue;
        std::smatch match;
        if (!std::regex_search(line, match, connection)) continue;
        ++connections;
        EXPECT_EQ(match[1].str().rfind("127.0.0.1:", 0), 0u) << "a connection to " << match[1];
    }
    EXPECT_GT(connections, 0) << "the log names the connections to the portal";
    // The portal's pages are the only addresses that resolved: every other name the log shows is refused.
    const std::regex address(R"RE("url":"https?://([^/"]*))RE");
    for (auto it = std::sregex_iterator(from, log.end(), address); it != std::sregex_iterator(); ++it) {
        const std::string host = (*it)[1];
        if (std::find(std::begin(portalHosts), std::end(portalHosts), host) != std::end(portalHosts)) ++pages;
        else
            EXPECT_EQ(host.find("127.0.0.1"), std::string::npos) << "a page of this machine that is not the portal's: " << host;
    }
    EXPECT_GT(pages, 18);
}

// A run long enough for the browser to store its cookies (over 30 s, the
// portal's pages slowed down): no file of the browser's profile ever holds
// the portal's session cookie, which lives in a browser context in memory.
TEST_F(PortalVariation, ThePortalsSessionNeverReachesADisk) {
    struct Watching : CountingView {
        using CountingView::CountingView;
        bool CancelRequested() override {
            if (!browser || !browser->HasApplication()) return false;
            std::error_code ec;
            for (auto it = std::filesystem::recursive_directory_iterator(browser->ProfileFolder(), ec);
                 !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
                if (it->is_regular_file(ec) && ReadBytes(it->path()).find("SIMSESSION") != std::string::npos)
                    holding.push_back(it->path().filename().string());
            ++looks;
            return std::chrono::steady_clock::now() > until;
        }
        DevToolsBrowser* browser = nullptr;
        std::chrono::steady_clock::time_point until = std::chrono::steady_clock::now() + std::chrono::seconds(40);
        std::vector<std::string> holding;
        int looks = 0;
    };
    SimulatedPortal portal({"--delay", "1500"}, clock);
    PortalSession session{*portal.browser, portal.hosts, PortalTimingFromEnvironment(), {}, {}};
    SheetGrid grid = NewSheet();
    E1CodeTable e1;
    Watching view(grid);
    view.browser = portal.browser.get();
    std::vector<int> years;
    for (int year = 2020; year >= 2003; --year) years.push_back(year);
    const BatchResult result = RetrieveYears(session, {kTaxpayer, years, 0, sources, false}, e1, grid, view);
    EXPECT_TRUE(result.cancelled) << "the run lasted the 40 s it was meant to";
    EXPECT_GT(view.looks, 5);
    EXPECT_EQ(view.holding, std::vector<std::string>{}) << "a file of the profile holds the portal's session";
}

}  // namespace
}  // namespace skartina::test
