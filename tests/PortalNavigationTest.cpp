// SPDX-License-Identifier: GPL-3.0-or-later
// The portal navigation on a browser in memory: the login's waits bounded by
// the user's extra seconds, a wrong password recognised from the portal's
// answer at once, a missing page named by its step; and the sentences the
// endings are told with.

#include "support/MemoryBrowser.h"
#include "support/TestSupport.h"
#include "portal/PortalNavigation.h"
#include "portal/RetrievalLog.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace skartina::test {
namespace {

const PortalHosts kHosts{"app.test", "login.test", "alt.test"};

MemElement WithId(std::string id, std::string type = "text") {
    MemElement element;
    element.id = id;
    element.name = std::move(id);
    element.type = std::move(type);
    return element;
}

// A portal in memory: the entry page shows the login page (from a given
// moment on); the right password leads to the application page and its
// entrance to the start page, a wrong one to the login page again.
struct MemoryPortal {
    explicit MemoryPortal(uint64_t loginShownAtMs = 0) : loginShownAt(loginShownAtMs) {
        browser.onList = [this] { Update(); };
    }
    void Update() {
        if (browser.windows.empty()) return;
        MemWindow& window = browser.windows.front();
        if (window.address == "https://app.test/webtax/incomefp/index.jsp" && clock.now >= loginShownAt) {
            window.address = "https://login.test/";
            window.document = LoginPage("first");
        }
    }
    MemDocument LoginPage(const std::string& identity) {
        MemDocument page{"LoginPage", {WithId("username"), WithId("password", "password"), Named("btn_login", "", "submit")}, {}, identity};
        page.all[2].onClick = [this] {
            MemWindow& window = browser.windows.front();
            if (window.document.all[1].value != "right") {
                if (refusalPage) {
                    window.address = "https://login.test/login";
                    window.document = {"Σφάλμα", {Named("back")}, {}, "refused", "Λανθασμένο όνομα χρήστη ή κωδικός πρόσβασης."};
                    return;
                }
                window.document = LoginPage("again");
                return;
            }
            window.address = "https://app.test/webtax/incomefp/years.jsp";
            window.document = {"Εφαρμογή", {Named("Image17")}, {}, "app"};
            window.document.all[0].onClick = [this] {
                browser.windows.front().address = "https://app.test/webtax/incomefp/login.do";
                browser.windows.front().document = {"Αρχική", {}, {}, "start"};
            };
        };
        return page;
    }
    uint64_t loginShownAt;
    bool refusalPage = false;  // a refused login is answered by a page that says so
    FakeClock clock{100};
    MemoryBrowser browser{clock};
    PortalSession session{browser, kHosts, PortalTiming(), {}, {}};
    RetrievalLog log{clock, {}};
};

Ending LogInEnding(MemoryPortal& portal, const std::string& password, int extraSeconds) {
    PortalNavigation navigation(portal.session, {extraSeconds, false, {}, {}}, portal.log);
    try {
        navigation.LogIn("user", password, false);
    } catch (const RetrievalStop& stop) {
        return stop.ending();
    }
    return Ending::Read;
}

TEST(PortalNavigation, TheLoginWaitsItsTwentySecondsPlusTheExtraOnes) {
    {
        MemoryPortal slow(30000);  // a login page that takes 30 s
        EXPECT_EQ(LogInEnding(slow, "right", 0), Ending::PageNotAsExpected);
        EXPECT_GE(slow.clock.now, 21000u);
        EXPECT_LT(slow.clock.now, 23000u);
    }
    {
        MemoryPortal slow(30000);
        EXPECT_EQ(LogInEnding(slow, "right", 15), Ending::Read) << "the extra seconds count for the login too";
        EXPECT_EQ(slow.browser.windows.front().address, "https://app.test/webtax/incomefp/login.do");
    }
}

TEST(PortalNavigation, AWrongPasswordIsRecognisedFromThePortalsAnswerAtOnce) {
    for (bool refusalPage : {false, true}) {
        MemoryPortal portal;
        portal.refusalPage = refusalPage;
        EXPECT_EQ(LogInEnding(portal, "wrong", 0), Ending::WrongCredentials) << refusalPage;
        EXPECT_LT(portal.clock.now, 1000u) << "no waiting out the bound";
    }
}

TEST(PortalNavigation, ALoginPageStillArrivingIsNotFilledIn) {
    MemoryPortal portal;
    // The login page is there, but its document goes on loading for 3 s.
    portal.browser.onList = [&] {
        portal.Update();
        if (portal.browser.windows.empty()) return;
        MemWindow& window = portal.browser.windows.front();
        window.loading = window.address == "https://login.test/" && portal.clock.now < 3000;
    };
    EXPECT_EQ(LogInEnding(portal, "right", 0), Ending::Read);
    EXPECT_GE(portal.clock.now, 3000u);
}

TEST(PortalNavigation, AMissingLoginPageNamesItsStep) {
    MemoryPortal never(UINT64_MAX);
    PortalNavigation navigation(never.session, {0, false, {}, {}}, never.log);
    try {
        navigation.LogIn("user", "right", false);
        FAIL() << "the login went through without a login page";
    } catch (const RetrievalStop& stop) {
        YearEnding ending{stop.ending(), stop.failure(), {}, {}};
        EXPECT_EQ(YearSentence(2016, ending),
                  "2016: η σελίδα της Α.Α.Δ.Ε. δεν ήταν όπως την περιμέναμε: στο βήμα «είσοδος στην Α.Α.Δ.Ε.» δεν "
                  "εμφανίστηκε η σελίδα εισόδου, το πεδίο του κωδικού (password).");
    }
    ASSERT_FALSE(never.log.steps().empty());
    EXPECT_NE(never.log.steps().front().find("https://app.test/webtax/incomefp/index.jsp"), std::string::npos);
}

// The start page shows a dialog as it comes, which the browser answers only
// when it is looked after. The patient mode's pause after the entrance must
// look after it (and note the dialog) at once, not sleep through it.
TEST(PortalNavigation, ThePatientModesPauseLooksAfterTheBrowser) {
    MemoryPortal portal;
    const std::string startPage = "https://app.test/webtax/incomefp/login.do";
    std::optional<uint64_t> answeredAt;
    portal.browser.onAwait = [&] {
        if (answeredAt || portal.browser.windows.empty() || portal.browser.windows.front().address != startPage) return;
        answeredAt = portal.clock.now;
        portal.browser.dialogs.push_back("Καλώς ήρθατε.");
    };
    PortalNavigation navigation(portal.session, {0, true, {}, {}}, portal.log);
    navigation.LogIn("user", "right", false);
    ASSERT_TRUE(answeredAt) << "the browser was not looked after while the start page came";

    // When the entrance was clicked, and when the dialog was written down, by the log's times.
    const auto stepTime = [&](const std::string& words) -> double {
        for (const std::string& line : portal.log.steps())
            if (line.find(words) != std::string::npos) return std::stod(line.substr(1));
        ADD_FAILURE() << "no step " << words;
        return -100;
    };
    const double entered = stepTime("είσοδος στην εφαρμογή"), noted = stepTime("«Καλώς ήρθατε.»");
    EXPECT_LT(*answeredAt, entered * 1000 + 400) << "answered only after the pause of 1 s";
    EXPECT_GE(noted, entered);
    EXPECT_LT(noted, entered + 0.4) << "written down only after the pause of 1 s";
    EXPECT_GE(portal.clock.now, entered * 1000 + 1000) << "the pause itself was kept";
}

TEST(RetrievalEnding, EachEndingIsOneGreekSentence) {
    const struct {
        YearEnding ending;
        const char* sentence;
    } cases[] = {
        {{Ending::Read}, "2016: αντλήθηκε."},
        {{Ending::NoReturn}, "2016: η Α.Α.Δ.Ε. δεν έχει δήλωση για το έτος."},
        {{Ending::WrongCredentials}, "2016: η Α.Α.Δ.Ε. δεν δέχτηκε το όνομα χρήστη ή τον κωδικό πρόσβασης."},
        {{Ending::Unreachable, {}, "Tables/1_sources/retrieval.log"},
         "2016: δεν υπήρξε σύνδεση με την Α.Α.Δ.Ε. (ελέγξτε τη σύνδεση στο διαδίκτυο ή δοκιμάστε αργότερα). "
         "Λεπτομέρειες στο αρχείο «Tables/1_sources/retrieval.log»."},
        {{Ending::BrowserClosed}, "2016: το παράθυρο της Α.Α.Δ.Ε. έκλεισε πριν τελειώσει η άντληση."},
        {{Ending::PageNotAsExpected, {"σελίδα του έτους", "το κουμπί εκτύπωσης (PB_EKKATH_PDF)"}, {}, "D"},
         "2016: η σελίδα της Α.Α.Δ.Ε. δεν ήταν όπως την περιμέναμε: στο βήμα «σελίδα του έτους» δεν εμφανίστηκε το "
         "κουμπί εκτύπωσης (PB_EKKATH_PDF). Όσα χρειάζεται ο προγραμματιστής φυλάχτηκαν στον φάκελο «D»."},
        {{Ending::PageNotAsExpected, {"σελίδα του έτους", "ο κατάλογος των ετών (YEAR)", "Η υπηρεσία δεν είναι διαθέσιμη."}},
         "2016: η σελίδα της Α.Α.Δ.Ε. δεν ήταν όπως την περιμέναμε: στο βήμα «σελίδα του έτους» δεν εμφανίστηκε ο "
         "κατάλογος των ετών (YEAR) (η σελίδα έδειξε το μήνυμα «Η υπηρεσία δεν είναι διαθέσιμη.»)."},
        {{Ending::PageNotAsExpected, {"δήλωση του έτους", "η δήλωση, το πεδίο (n901)", "", true}},
         "2016: η σελίδα της Α.Α.Δ.Ε. δεν ήταν όπως την περιμέναμε: στο βήμα «δήλωση του έτους» η σελίδα δεν ολοκλήρωσε "
         "τη φόρτωσή της (είχε εμφανιστεί η δήλωση, το πεδίο (n901))."},
        {{Ending::SessionExpired}, "2016: η σύνδεση με την Α.Α.Δ.Ε. έληξε δύο φορές στο ίδιο έτος."},
        {{Ending::NotReached}, "2016: δεν αντλήθηκε, γιατί η άντληση σταμάτησε νωρίτερα."},
        {{Ending::ReportUnread, {}, {}, {}, "Tables/1_sources/2016-unread.pdf"},
         "2016: το εκκαθαριστικό του έτους δεν διαβάστηκε· κρατήθηκε στο «Tables/1_sources/2016-unread.pdf»."},
        {{Ending::ReportUnread}, "2016: το εκκαθαριστικό του έτους δεν διαβάστηκε."},
    };
    for (const auto& c : cases) EXPECT_EQ(YearSentence(2016, c.ending), c.sentence);
}

TEST(RetrievalLog, StepsKeepNoQueryStringAndNotesAreTheOwnersAlone) {
    FakeClock clock;
    TempDir dir;
    RetrievalLog log(clock, dir / "sources" / "retrieval.log");
    log.Step("μετάβαση", "https://app.test/page.do?token=secret#x");
    EXPECT_EQ(log.steps().front(), "+0.000 s  μετάβαση  https://app.test/page.do");
    EXPECT_TRUE(log.Note("detail"));
    EXPECT_EQ(std::filesystem::status(dir / "sources" / "retrieval.log").permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_NE(ReadBytes(dir / "sources" / "retrieval.log").find("  detail\n"), std::string::npos);
}

}  // namespace
}  // namespace skartina::test
