// SPDX-License-Identifier: GPL-3.0-or-later
// The year button's checks and the retrieval's frame on a browser in memory:
// the messages in their order, the waiting panel, the recalculation after a
// failure, and the pauses.

#include "support/MemoryBrowser.h"
#include "support/TestSupport.h"
#include "portal/YearRetrieval.h"
#include "support/PortalGridForms.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace skartina::test {
namespace {

const PortalHosts kHosts{"app.test:1001", "login.test:1002", "alt.test:1003"};

struct RecordingView : RetrievalView {
    std::vector<std::string> events;
    void ShowWaiting() override { events.push_back("show"); }
    void HideWaiting() override { events.push_back("hide"); }
    void ReportTaken() override { events.push_back("ΟΚ"); }
    void RecalculateSheet() override { events.push_back("recalculate"); }
};

struct CheckCase {
    bool ticked;
    const char* taxNumber;
    const char* user;
    const char* password;
    const char* message;
};

TEST(YearButton, ChecksTheYearTheTaxNumberAndTheCredentialsInThisOrder) {
    const CheckCase cases[] = {
        {false, "", "", "", "Δεν έχετε επιλέξει το αντίστοιχο έτος για άντληση στοιχείων."},
        {true, "", "", "", "Δεν έχετε συμπληρώσει τον Α.Φ.Μ. του φορολογούμενου."},
        {true, "123456783", "", "pw", "Δεν έχετε συμπληρώσει τα στοιχεία εισόδου στην Α.Α.Δ.Ε."},
        {true, "123456783", "tp", "", "Δεν έχετε συμπληρώσει τα στοιχεία εισόδου στην Α.Α.Δ.Ε."},
    };
    for (const CheckCase& c : cases) {
        FakeClock clock;
        MemoryBrowser browser(clock);
        PortalSession portal{browser, kHosts, PortalTiming(), {}, {}};
        ScriptedPrompter prompter(true);
        RecordingView view;
        E1CodeTable e1;
        e1.set(301, 5);
        SheetGrid grid;
        const YearRequest request{2010, {c.taxNumber, c.user, c.password, false}, 0};
        EXPECT_FALSE(RetrieveYearFromPortal(portal, request, c.ticked, e1, grid, prompter, view)) << "not started";
        EXPECT_EQ(prompter.informed, std::vector<std::string>{c.message});
        EXPECT_FALSE(browser.HasApplication()) << "no browser is opened";
        EXPECT_TRUE(view.events.empty()) << "no waiting panel, no recalculation";
        EXPECT_EQ(e1[301], 5);
    }
}

// A browser whose every navigation fails, as when the browser has gone.
class FailingBrowser : public MemoryBrowser {
public:
    using MemoryBrowser::MemoryBrowser;
    void Navigate(const BrowserRef&, std::string_view, bool) override { throw BrowserError("chrome not reachable"); }
};

TEST(YearButton, ABrowserErrorIsToldInGreekWithoutTheBrowsersWords) {
    FakeClock clock;
    FailingBrowser browser(clock);
    PortalSession portal{browser, kHosts, PortalTiming(), {}, {}};
    ScriptedPrompter prompter(true);
    RecordingView view;
    E1CodeTable e1;
    SheetGrid grid;
    const YearRequest request{2010, {"123456783", "tp", "pw", false}, 0};
    const auto result = RetrieveYearFromPortal(portal, request, true, e1, grid, prompter, view);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->end.ending, Ending::BrowserFailed);
    EXPECT_EQ(prompter.informed, std::vector<std::string>{"2010: το πρόγραμμα περιήγησης δεν ανταποκρίθηκε όπως αναμενόταν."});
    EXPECT_EQ(view.events, (std::vector<std::string>{"show", "recalculate", "hide"}));
    EXPECT_FALSE(browser.HasApplication()) << "the browser is closed at the end";
}

TEST(YearButton, ALoginPageThatNeverComesIsToldWithItsStepAndTheSheetIsRecalculated) {
    FakeClock clock;
    MemoryBrowser browser(clock);  // the entry page never shows a login page
    PortalSession portal{browser, kHosts, PortalTiming(), {}, {}};
    ScriptedPrompter prompter(true);
    RecordingView view;
    E1CodeTable e1;
    e1.set(301, 5);
    SheetGrid grid;
    const YearRequest request{2010, {"123456783", "tp", "pw", false}, 0};
    const auto result = RetrieveYearFromPortal(portal, request, true, e1, grid, prompter, view);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->end.ending, Ending::PageNotAsExpected);
    EXPECT_EQ(prompter.informed,
              std::vector<std::string>{"2010: η σελίδα της Α.Α.Δ.Ε. δεν ήταν όπως την περιμέναμε: στο βήμα «είσοδος "
                                       "στην Α.Α.Δ.Ε.» δεν εμφανίστηκε η σελίδα εισόδου, το πεδίο του κωδικού (password)."});
    EXPECT_EQ(view.events, (std::vector<std::string>{"show", "recalculate", "hide"}));
    EXPECT_EQ(e1[301], 5) << "the table is cleared only when the print button was found";
    EXPECT_GE(clock.now, 21000u);
}

TEST(PortalTiming, ShortensTheFixedPausesButNeverTheUsersExtraTime) {
    EXPECT_EQ(PortalTiming().Pause(3000), 3000u);
    EXPECT_EQ(PortalTiming(0.1).Pause(3000), 300u);
    EXPECT_EQ(PortalTiming(0.1).AfterPrint(2000, 5), 5200u);
    EXPECT_EQ(PortalTiming().AfterPrint(2000, 5), 7000u);
    EXPECT_EQ(PortalTiming().AfterPrint(3000, 5), 8000u);
    EXPECT_EQ(PortalTiming().AfterPrint(2000, -4), 2000u) << "a negative extra time counts as 0";
    for (double ignored : {0.0, -1.0, 1.5}) EXPECT_EQ(PortalTiming(ignored).factor(), 1.0) << ignored;
}

TEST(PortalTiming, TheFactorComesFromTheConfigurationOnly) {
    const char* saved = std::getenv("SKARTINA_PORTAL_PAUSE_FACTOR");
    const std::string keep = saved ? saved : "";
    const std::pair<const char*, double> cases[] = {{"0.25", 0.25}, {"1", 1.0}, {"0,25", 1.0}, {"abc", 1.0}, {"2", 1.0}, {"", 1.0}};
    for (const auto& [text, factor] : cases) {
        setenv("SKARTINA_PORTAL_PAUSE_FACTOR", text, 1);
        EXPECT_EQ(PortalTimingFromEnvironment().factor(), factor) << text;
    }
    unsetenv("SKARTINA_PORTAL_PAUSE_FACTOR");
    EXPECT_EQ(PortalTimingFromEnvironment().factor(), 1.0);
    if (saved) setenv("SKARTINA_PORTAL_PAUSE_FACTOR", keep.c_str(), 1);
}

}  // namespace
}  // namespace skartina::test
