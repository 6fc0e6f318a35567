// SPDX-License-Identifier: GPL-3.0-or-later
// Whole single-year retrievals with headless Chromium against the simulated
// portal: the year's column of the sheet against what the year rules make of
// the same codes, every ending with its exact Greek sentence, the diagnostics
// kept for a page not as expected, and the browser closed at the end. Each
// test starts its own simulator (with the fault it needs) and browser, and
// both are stopped at its end.

#include "support/CliRunner.h"
#include "support/SimulatedPortal.h"
#include "support/TestSupport.h"
#include "e1/CodeList.h"
#include "e1/ReportPdf.h"
#include "e1/YearRules.h"
#include "browser/BrowserProfile.h"
#include "browser/DevToolsAnswers.h"
#include "browser/DevToolsBrowser.h"
#include "support/Processes.h"
#include "portal/YearRetrieval.h"
#include "portal/YearSources.h"
#include "sheet/AnalysisFile.h"
#include "sheet/Recalculate.h"
#include "sheet/SheetLayout.h"
#include "sheet/SheetRows.h"
#include "support/PortalGridForms.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <regex>
#include <sstream>
#include <sys/stat.h>
#include <thread>

#include <signal.h>
#include <unistd.h>

namespace skartina::test {
namespace {

constexpr const char* kTaxNumber = kSampleTaxNumber;

const PortalCredentials kTaxpayer{kTaxNumber, "demo", "demo1234", false};
const PortalCredentials kAccountant{kTaxNumber, "logistis", "demo5678", true};

struct RecordingView : RetrievalView {
    explicit RecordingView(SheetGrid& g) : grid(g) {}
    void ShowWaiting() override { waiting = true; }
    void HideWaiting() override { waiting = false; }
    void ReportTaken() override { ++reportsTaken; }
    void RecalculateSheet() override {
        skartina::RecalculateSheet(grid);
        ++recalculations;
    }
    SheetGrid& grid;
    bool waiting = false;
    int reportsTaken = 0;
    int recalculations = 0;
};

// The sheet as the year's rules would leave it from the table, recalculated.
SheetGrid Expected(SheetGrid grid, E1CodeTable e1, int year) {
    RunYearRules(e1, grid, year);
    RecalculateSheet(grid);
    return grid;
}

SheetGrid NewSheet() {
    SheetGrid grid;
    BuildSheetLayout(grid, YearSelection());
    return grid;
}

void ExpectYearColumns(const SheetGrid& actual, const SheetGrid& expected, int year) {
    for (int column : {TaxpayerColumnOf(year), SpouseColumnOf(year)})
        for (int row = 0; row < kSheetRows; ++row)
            EXPECT_EQ(actual.cell(column, row), expected.cell(column, row)) << "year " << year << " column " << column << " row " << row;
}

class RetrievalEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        const BrowserConfig defaults;
        ASSERT_TRUE(std::filesystem::exists(defaults.chromium)) << "Chromium is needed (scripts/install-deps installs it)";
    }

    void Start(std::vector<std::string> switches = {}) {
        portal = std::make_unique<SimulatedPortal>(std::move(switches), clock);
    }

    YearResult Retrieve(int year, const PortalCredentials& credentials, int extraSeconds = 0, bool fixedPauses = false) {
        PortalSession session{*portal->browser, portal->hosts, PortalTiming(), {}, {}};
        const auto start = std::chrono::steady_clock::now();
        const auto result = RetrieveYearFromPortal(session, {year, credentials, extraSeconds, sources, fixedPauses}, true, e1, grid,
                                           prompter, view);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_TRUE(result);
        EXPECT_FALSE(portal->browser->HasApplication()) << "every retrieval ends with the browser closed";
        EXPECT_FALSE(view.waiting);
        EXPECT_EQ(view.recalculations, 1);
        return result.value_or(YearResult{});
    }

    // A clock whose pump runs the test's hook (a user acting during a wait).
    std::function<void()> duringWaits;
    SteadyPumpClock clock{[this] {
        if (duringWaits) duringWaits();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }};
    std::unique_ptr<SimulatedPortal> portal;
    TempDir tables;
    std::filesystem::path sources = SourcesFolder(tables.path(), kTaxNumber);
    SheetGrid grid = NewSheet();
    E1CodeTable e1;
    ScriptedPrompter prompter{true};
    RecordingView view{grid};
    double seconds = 0;
};

mode_t Mode(const std::filesystem::path& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 0777;
}

TEST_F(RetrievalEndToEnd, TheTaxpayersYear2010IsReadLoggedOutAndKept) {
    Start();
    const SheetGrid expected = Expected(grid, SampleReturn(2010), 2010);
    const YearResult result = Retrieve(2010, kTaxpayer);
    EXPECT_EQ(result.end.ending, Ending::Read);
    ExpectYearColumns(grid, expected, 2010);
    EXPECT_NE(grid.cell(TaxpayerColumnOf(2010), Row::TaxedIncome), "");
    EXPECT_TRUE(prompter.informed.empty()) << "a year read is shown in the sheet, not told";
    EXPECT_EQ(result.source, sources / "2010.txt") << "a single year keeps its document as the run of all years does";
    EXPECT_TRUE(std::filesystem::exists(sources / "2010.txt"));
}

TEST_F(RetrievalEndToEnd, ThePatientModeKeepsTheFixedPauses) {
    Start();
    EXPECT_EQ(Retrieve(2010, kTaxpayer, 0, true).end.ending, Ending::Read);
    EXPECT_GE(seconds, 1 + 2 + 3 + 2);  // the fixed pauses of a year up to 2013
    ExpectYearColumns(grid, Expected(NewSheet(), SampleReturn(2010), 2010), 2010);
}

TEST_F(RetrievalEndToEnd, TheAccountantsClientYear2016FromTheReport) {
    Start();
    const SheetGrid expected = Expected(grid, SampleReturn(2016), 2016);
    EXPECT_EQ(Retrieve(2016, kAccountant).end.ending, Ending::Read);
    ExpectYearColumns(grid, expected, 2016);
    EXPECT_EQ(view.reportsTaken, 1);
    EXPECT_TRUE(prompter.informed.empty());
    EXPECT_EQ(ReadBytes(sources / "2016.pdf").rfind("%PDF", 0), 0u);
}

TEST_F(RetrievalEndToEnd, Years2004And2005ThroughTheirLists) {
    Start();
    SheetGrid expected = Expected(grid, SampleReturn(2004), 2004);
    expected = Expected(expected, SampleReturn(2005), 2005);
    EXPECT_EQ(Retrieve(2004, kTaxpayer).end.ending, Ending::Read);
    view.recalculations = 0;
    EXPECT_EQ(Retrieve(2005, kTaxpayer).end.ending, Ending::Read);
    ExpectYearColumns(grid, expected, 2004);
    ExpectYearColumns(grid, expected, 2005);
}

// An ending, and the sentence it is told with.
struct EndingCase {
    const char* name;
    std::vector<std::string> switches;
    int year;
    bool accountant;
    const char* password;
    Ending ending;
    const char* sentence;  // without the diagnostics and the log, which name files of the test
    const char* inSteps = nullptr;  // what the steps kept for a developer must hold
};

// Whether the page kept for a developer still holds a value of an input field.
bool HoldsInputValues(const std::string& html) {
    return std::regex_search(html, std::regex(R"(<input[^>]*\svalue=)", std::regex::icase));
}

class RetrievalEnding : public RetrievalEndToEnd, public ::testing::WithParamInterface<EndingCase> {};

TEST_P(RetrievalEnding, IsToldInOneGreekSentenceAndLeavesTheYearAsItWas) {
    const EndingCase& c = GetParam();
    Start(c.switches);
    e1.set(301, 777);
    grid.setCell(TaxpayerColumnOf(c.year), Row::TaxedIncome, "5,00");
    SheetGrid expected = grid;
    if (c.ending == Ending::NoReturn) {
        E1CodeTable none;
        RunYearRules(none, expected, c.year);
    }
    RecalculateSheet(expected);

    PortalCredentials credentials = c.accountant ? kAccountant : kTaxpayer;
    credentials.password = c.password;
    const YearResult result = Retrieve(c.year, credentials);
    EXPECT_EQ(result.end.ending, c.ending);
    std::string sentence = c.sentence;
    if (!result.end.diagnostics.empty())
        sentence += " Όσα χρειάζεται ο προγραμματιστής φυλάχτηκαν στον φάκελο «" + result.end.diagnostics.string() + "».";
    if (!result.end.log.empty()) sentence += " Λεπτομέρειες στο αρχείο «" + result.end.log.string() + "».";
    EXPECT_EQ(prompter.informed, std::vector<std::string>{sentence});
    EXPECT_EQ(grid, expected);
    if (KeepsDiagnostics(c.ending)) {
        EXPECT_EQ(result.end.diagnostics.parent_path(), sources / "diagnostics");
        EXPECT_TRUE(std::filesystem::exists(result.end.diagnostics / "steps.txt"));
        EXPECT_TRUE(std::filesystem::exists(result.end.diagnostics / "page.png"));
        const std::string html = ReadBytes(result.end.diagnostics / "page.html");
        EXPECT_NE(html.find("<html"), std::string::npos) << "the page kept as it was";
        EXPECT_FALSE(HoldsInputValues(html)) << html;
    }
    if (c.inSteps) {
        const std::string steps = ReadBytes(result.end.diagnostics / "steps.txt");
        EXPECT_NE(steps.find(c.inSteps), std::string::npos) << steps;
    }
    if (c.ending == Ending::PageNotAsExpected) {
        EXPECT_EQ(result.end.log, sources / "retrieval.log");
    }
    if (c.ending == Ending::WrongCredentials) {
        EXPECT_LT(seconds, 15) << "recognised from the portal's answer, not waited out";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RetrievalEnding,
    ::testing::Values(
        EndingCase{"NoReturn", {"--no-return-in", "2016"}, 2016, false, "demo1234", Ending::NoReturn,
                   "2016: η Α.Α.Δ.Ε. δεν έχει δήλωση για το έτος."},
        EndingCase{"WrongPassword", {}, 2016, false, "wrong", Ending::WrongCredentials,
                   "2016: η Α.Α.Δ.Ε. δεν δέχτηκε το όνομα χρήστη ή τον κωδικό πρόσβασης."},
        EndingCase{"WrongPasswordAnsweredByAnErrorPage", {"--login-error-page"}, 2016, false, "wrong", Ending::WrongCredentials,
                   "2016: η Α.Α.Δ.Ε. δεν δέχτηκε το όνομα χρήστη ή τον κωδικό πρόσβασης."},
        EndingCase{"ReturnWithoutAfm", {"--report-without-afm-in", "2010"}, 2010, false, "demo1234",
                   Ending::ReturnWithoutTaxNumber, "2010: η δήλωση του έτους δεν αναφέρει τον Α.Φ.Μ. του πελάτη."},
        EndingCase{"SessionEndedTwiceInTheYear", {"--expire-after", "3"}, 2016, false, "demo1234", Ending::SessionExpired,
                   "2016: η σύνδεση με την Α.Α.Δ.Ε. έληξε δύο φορές στο ίδιο έτος."},
        EndingCase{"ADialogBeforeAMissingButton", {"--alert", "Η υπηρεσία θα διακοπεί στις 23:00.", "--no-print-button"}, 2016,
                   false, "demo1234", Ending::PageNotAsExpected,
                   "2016: η σελίδα της Α.Α.Δ.Ε. δεν ήταν όπως την περιμέναμε: στο βήμα «σελίδα του έτους» δεν "
                   "εμφανίστηκε το κουμπί εκτύπωσης (PB_EKKATH_PDF) (η σελίδα έδειξε το μήνυμα «Η υπηρεσία θα διακοπεί "
                   "στις 23:00.»).",
                   "η σελίδα έδειξε το μήνυμα «Η υπηρεσία θα διακοπεί στις 23:00.»"},
        EndingCase{"AConfirmBeforeAMissingButton", {"--confirm", "Να συνεχίσετε;", "--no-print-button"}, 2016, false,
                   "demo1234", Ending::PageNotAsExpected,
                   "2016: η σελίδα της Α.Α.Δ.Ε. δεν ήταν όπως την περιμέναμε: στο βήμα «σελίδα του έτους» δεν "
                   "εμφανίστηκε το κουμπί εκτύπωσης (PB_EKKATH_PDF) (η σελίδα έδειξε το μήνυμα «Να συνεχίσετε;»).",
                   "η σελίδα έδειξε το μήνυμα «Να συνεχίσετε;»"},
        EndingCase{"ADialogOnAReturnWithoutTaxNumber", {"--return-alert", "Ελέγξτε τα στοιχεία σας.", "--report-without-afm-in", "2010"},
                   2010, false, "demo1234", Ending::ReturnWithoutTaxNumber,
                   "2010: η δήλωση του έτους δεν αναφέρει τον Α.Φ.Μ. του πελάτη.",
                   "η σελίδα έδειξε το μήνυμα «Ελέγξτε τα στοιχεία σας.»"},
        EndingCase{"AReturnThatNeverFinishesLoading", {"--stream-return", "24000"}, 2010, false, "demo1234",
                   Ending::PageNotAsExpected,
                   "2010: η σελίδα της Α.Α.Δ.Ε. δεν ήταν όπως την περιμέναμε: στο βήμα «δήλωση του έτους» η σελίδα δεν "
                   "ολοκλήρωσε τη φόρτωσή της (είχε εμφανιστεί η δήλωση, το πεδίο (n901)).",
                   "η σελίδα δεν ολοκλήρωσε τη φόρτωσή της"},
        EndingCase{"ReportWithoutAfm", {"--report-without-afm"}, 2016, false, "demo1234", Ending::ReportWithoutTaxNumber,
                   "2016: το εκκαθαριστικό δεν αναφέρει τον Α.Φ.Μ. του πελάτη."},
        EndingCase{"RefusedClient", {"--refuse-client", kSampleTaxNumber}, 2010, true, "demo5678", Ending::ClientRefused,
                   "2010: η Α.Α.Δ.Ε. δεν επέτρεψε στον λογιστή την επιλογή του πελάτη."},
        EndingCase{"NoLoginButton", {"--no-login-button"}, 2010, false, "demo1234", Ending::PageNotAsExpected,
                   "2010: η σελίδα της Α.Α.Δ.Ε. δεν ήταν όπως την περιμέναμε: στο βήμα «είσοδος στην Α.Α.Δ.Ε.» δεν "
                   "εμφανίστηκε το κουμπί σύνδεσης (btn_login)."},
        EndingCase{"NoYearList2004", {"--no-year-list"}, 2004, false, "demo1234", Ending::PageNotAsExpected,
                   "2004: η σελίδα της Α.Α.Δ.Ε. δεν ήταν όπως την περιμέναμε: στο βήμα «σελίδα του έτους» δεν "
                   "εμφανίστηκε ο κατάλογος των ετών (YEAR)."},
        EndingCase{"NoPrintButton2016", {"--no-print-button"}, 2016, false, "demo1234", Ending::PageNotAsExpected,
                   "2016: η σελίδα της Α.Α.Δ.Ε. δεν ήταν όπως την περιμέναμε: στο βήμα «σελίδα του έτους» δεν "
                   "εμφανίστηκε το κουμπί εκτύπωσης (PB_EKKATH_PDF)."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RetrievalEndToEnd, APortalThatCannotBeReachedIsSaidSoWithTheDetailInTheLog) {
    Start();
    portal->simulator.Stop();
    const YearResult result = Retrieve(2016, kTaxpayer);
    EXPECT_EQ(result.end.ending, Ending::Unreachable);
    const std::string log = (sources / "retrieval.log").string();
    EXPECT_EQ(prompter.informed,
              std::vector<std::string>{"2016: δεν υπήρξε σύνδεση με την Α.Α.Δ.Ε. (ελέγξτε τη σύνδεση στο διαδίκτυο ή "
                                       "δοκιμάστε αργότερα). Λεπτομέρειες στο αρχείο «" + log + "»."});
    EXPECT_NE(ReadBytes(log).find("ERR_CONNECTION_REFUSED"), std::string::npos) << ReadBytes(log);
    EXPECT_EQ(Mode(log), 0600u);
}

TEST_F(RetrievalEndToEnd, ABrowserClosedByTheUserIsSaidAtOnce) {
    Start({"--delay", "1500"});
    bool closed = false;
    duringWaits = [&] {
        if (!portal->browser->HasApplication()) return;
        for (const OpenWindow& window : portal->browser->Windows())
            if (window.address.find("/webtax/incomefp/year2016-income-menu.do") != std::string::npos) closed = true;
        if (!closed) return;
        // The user closes every window of the browser while the year's menu is
        // on its way, and any that is still there a moment later.
        for (const OpenWindow& window : portal->browser->Windows()) {
            try {
                portal->browser->Command("Target.closeTarget", {{"targetId", window.handle}});
            } catch (const BrowserError&) {
                // Closed meanwhile.
            }
        }
    };
    const YearResult result = Retrieve(2016, kTaxpayer);
    ASSERT_TRUE(closed);
    EXPECT_EQ(result.end.ending, Ending::BrowserClosed);
    EXPECT_EQ(prompter.informed, std::vector<std::string>{"2016: το παράθυρο της Α.Α.Δ.Ε. έκλεισε πριν τελειώσει η άντληση."});
    EXPECT_LT(seconds, 10);
}

// A report whose text gives no entry, and does not say there is no return,
// is not read as an empty year: the year fails and the report is kept.
TEST_F(RetrievalEndToEnd, AReportWithoutACodeTableFailsTheYearAndIsKept) {
    Start({"--unreadable-report-in", "2016"});
    KeepReportSource(sources, 2016, "%PDF-1.5 read earlier");
    grid.setCell(TaxpayerColumnOf(2016), Row::TaxedIncome, "5,00");
    SheetGrid expected = grid;
    RecalculateSheet(expected);

    const YearResult result = Retrieve(2016, kTaxpayer);
    const std::filesystem::path kept = sources / "2016-unread.pdf";
    EXPECT_EQ(result.end.ending, Ending::ReportUnread);
    EXPECT_EQ(prompter.informed, std::vector<std::string>{"2016: το εκκαθαριστικό του έτους δεν διαβάστηκε· κρατήθηκε στο «" +
                                                          kept.string() + "». Όσα χρειάζεται ο προγραμματιστής φυλάχτηκαν "
                                                          "στον φάκελο «" + result.end.diagnostics.string() + "»."});
    EXPECT_EQ(result.end.diagnostics.parent_path(), sources / "diagnostics");
    EXPECT_NE(ReadBytes(result.end.diagnostics / "steps.txt").find("ανάγνωση του εκκαθαριστικού"), std::string::npos)
        << "the steps up to the report kept beside it";
    EXPECT_EQ(grid, expected) << "the year's columns stay as they were";
    const std::string bytes = ReadBytes(kept);
    EXPECT_EQ(bytes.rfind("%PDF-", 0), 0u);
    EXPECT_NE(ReportPdfText(bytes).find("Κωδ. 301 ποσό"), std::string::npos) << "the report as the portal gave it";
    EXPECT_EQ(Mode(kept), 0600u);
    EXPECT_EQ(ReadBytes(sources / "2016.pdf"), "%PDF-1.5 read earlier") << "the document read earlier stays";
}

TEST_F(RetrievalEndToEnd, ThePageKeptForADeveloperHoldsNoPasswordOrCookie) {
    Start({"--no-print-button"});
    const YearResult result = Retrieve(2012, kTaxpayer);
    ASSERT_EQ(result.end.ending, Ending::PageNotAsExpected);
    const std::filesystem::path bundle = result.end.diagnostics;
    ASSERT_TRUE(std::filesystem::is_directory(bundle));
    EXPECT_EQ(bundle.filename().string().rfind("2012-", 0), 0u) << bundle;
    EXPECT_EQ(Mode(bundle), 0700u);
    EXPECT_EQ(ReadBytes(bundle / "page.png").rfind("\x89PNG", 0), 0u);
    EXPECT_NE(ReadBytes(bundle / "page.html").find("YEAR"), std::string::npos) << "the menu as it was";
    const std::string steps = ReadBytes(bundle / "steps.txt");
    EXPECT_NE(steps.find("/webtax/incomefp/year2012-income-menu.do"), std::string::npos) << steps;
    for (const char* file : {"page.png", "page.html", "steps.txt"}) {
        EXPECT_EQ(Mode(bundle / file), 0600u) << file;
        const std::string bytes = ReadBytes(bundle / file);
        EXPECT_EQ(bytes.find("demo1234"), std::string::npos) << file << " holds the password";
        EXPECT_EQ(bytes.find("SIMSESSION"), std::string::npos) << file << " holds the session cookie";
    }
    EXPECT_EQ(steps.find('?'), std::string::npos) << "no query string, where session tokens travel";
}

TEST_F(RetrievalEndToEnd, ASlowReportNeedsTheExtraTime) {
    Start({"--delay-report", "12500"});
    EXPECT_EQ(Retrieve(2016, kTaxpayer, 0).end.ending, Ending::PageNotAsExpected);
    view.recalculations = 0;
    const SheetGrid expected = Expected(grid, SampleReturn(2016), 2016);
    EXPECT_EQ(Retrieve(2016, kTaxpayer, 5).end.ending, Ending::Read);
    ExpectYearColumns(grid, expected, 2016);
}

TEST_F(RetrievalEndToEnd, TheCommandLineRetrievesIntoTheSheetFile) {
    Start();
    TempDir dir;
    std::filesystem::create_directory(dir / "Tables");  // the data folder the commands run in
    std::filesystem::permissions(dir / "Tables", std::filesystem::perms::owner_all, std::filesystem::perm_options::replace);
    SaveGridToFile(grid, dir / "in.grd");
    const std::string environment = ShellEnvironment(portal->simulator);
    const std::string files = " 2010 " + Q(dir / "in.grd") + " " + Q(dir / "out.grd") + " --afm " + kTaxNumber + " --user demo";

    // A password is never taken from the command line.
    const CliRun refused = Cli(dir, "retrieve" + files + " --password demo1234");
    EXPECT_EQ(refused.status, 2);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.grd"));

    // Without the variable and without a terminal there is no password to be had.
    const std::string command = "cd " + Q(dir.path()) + " && env -u SKARTINA_PASSWORD SKARTINA_BROWSER_HEADLESS=1 " + environment +
                                "setsid -w " + SKARTINA_CLI + " retrieve" + files +
                                " </dev/null 2>" + (dir / "tty.txt").string();
    EXPECT_NE(std::system(command.c_str()), 0);
    EXPECT_NE(ReadBytes(dir / "tty.txt").find("SKARTINA_PASSWORD"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.grd"));

    // No display: the browser runs without a window, unasked.
    const std::string run = "cd " + Q(dir.path()) + " && env -u DISPLAY -u WAYLAND_DISPLAY -u SKARTINA_BROWSER_HEADLESS " +
                            environment + "SKARTINA_PASSWORD=demo1234 " + SKARTINA_CLI + " retrieve" + files +
                            " --extra-seconds 0 2>" + (dir / "err.txt").string();
    EXPECT_EQ(std::system(run.c_str()), 0) << ReadBytes(dir / "err.txt");
    EXPECT_EQ(ReadBytes(dir / "err.txt"), "2010: αντλήθηκε.\n");
    EXPECT_TRUE(std::filesystem::exists(dir / "Tables" / (std::string(kTaxNumber) + "_sources") / "2010.txt"));
    SheetGrid written;
    ASSERT_TRUE(LoadGridFromFile(dir / "out.grd", written));
    ExpectYearColumns(written, Expected(grid, SampleReturn(2010), 2010), 2010);
}

TEST_F(RetrievalEndToEnd, TheInsecureCertificateSwitchIsIgnoredForAnotherHost) {
    TempDir dir;
    std::filesystem::create_directories(dir / "Tables");  // the data folder, not the home folder's
    SaveGridToFile(grid, dir / "in.grd");
    // A name that never resolves: the run ends unreachable, after the warning.
    const std::string run = "cd " + Q(dir.path()) +
                            " && env SKARTINA_PORTAL_APP_HOST=portal.invalid SKARTINA_PORTAL_LOGIN_HOST=login.invalid "
                            "SKARTINA_PORTAL_ALT_LOGIN_HOST=alt.invalid SKARTINA_PORTAL_INSECURE_TLS=1 "
                            "SKARTINA_BROWSER_HEADLESS=1 SKARTINA_PASSWORD=x " +
                            std::string(SKARTINA_CLI) + " retrieve 2016 in.grd out.grd --afm " + kTaxNumber +
                            " --user demo 2>" + Q(dir / "err.txt");
    EXPECT_NE(std::system(run.c_str()), 0);
    const std::string err = ReadBytes(dir / "err.txt");
    EXPECT_NE(err.find("Η ρύθμιση SKARTINA_PORTAL_INSECURE_TLS αγνοήθηκε"), std::string::npos) << err;
    EXPECT_NE(err.find("2016: δεν υπήρξε σύνδεση με την Α.Α.Δ.Ε."), std::string::npos) << err;
    EXPECT_EQ(err.find("net::"), std::string::npos) << err;
}

TEST_F(RetrievalEndToEnd, AReportBeyondTwentyMegabytesIsRefusedWithAClearMessage) {
    Start({"--huge-report"});
    const YearResult result = Retrieve(2016, kTaxpayer, 20);  // a slow machine takes a while to show 21 MB
    EXPECT_EQ(result.end.ending, Ending::ReportTooLarge);
    EXPECT_EQ(prompter.informed,
              std::vector<std::string>{"2016: το εκκαθαριστικό είναι μεγαλύτερο από 20 MB και δεν διαβάστηκε. Όσα χρειάζεται "
                                       "ο προγραμματιστής φυλάχτηκαν στον φάκελο «" + result.end.diagnostics.string() + "»."});
    EXPECT_EQ(result.end.diagnostics.parent_path(), sources / "diagnostics");
    EXPECT_NE(ReadBytes(result.end.diagnostics / "steps.txt").find("εκτύπωση"), std::string::npos) << "the steps up to the print";
    EXPECT_EQ(view.reportsTaken, 0);
}

// A temporary folder with a short name: Chromium's sockets in the folders made
// in it must stay within a socket path's 107 bytes.
struct ShortDir {
    ShortDir() {
        char pattern[] = "/tmp/sk-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~ShortDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::filesystem::path operator/(const std::string& name) const { return path / name; }
    std::filesystem::path path;
};

// skartina-cli run as a separate program, with the given environment in front of the command line.
struct CliProgram {
    CliProgram(const std::vector<std::string>& environment, const std::vector<std::string>& args) {
        std::vector<std::string> words = {"-u", "XDG_RUNTIME_DIR"};
        words.insert(words.end(), environment.begin(), environment.end());
        words.push_back(SKARTINA_CLI);
        words.insert(words.end(), args.begin(), args.end());
        ChildOptions options;
        options.quiet = true;
        process = std::make_unique<ChildProcess>("/usr/bin/env", words, options);
    }
    // Whether it has ended; its exit status is kept.
    bool Ended() {
        int raw = 0;
        if (status == -1 && waitpid(process->pid(), &raw, WNOHANG) == process->pid())
            status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        return status != -1;
    }
    // The exit status, waiting at most the time; -1 when it did not end.
    int Wait(int seconds) {
        for (int waited = 0; waited < seconds * 10 && !Ended(); ++waited)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return status;
    }
    int status = -1;
    std::unique_ptr<ChildProcess> process;
};

// Without a runtime folder, with the shared temporary folder's name taken by
// another user first, a retrieval run by the command line still goes through;
// and while it runs, none of its browser's processes (nor the program itself)
// holds the password it was given in SKARTINA_PASSWORD.
TEST_F(RetrievalEndToEnd, TheBrowserNeverHoldsThePasswordAndAForeignFolderDoesNotBlockIt) {
    Start();
    TempDir dir;
    const ShortDir shortDir;
    SaveGridToFile(grid, dir / "in.grd");
    std::filesystem::create_directories(shortDir / "tmp");
    const std::filesystem::path taken = shortDir / "tmp" / ("skartina-browser-" + std::to_string(geteuid()));
    std::filesystem::create_directory(taken);
    if (geteuid() == 0) {
        ASSERT_EQ(chown(taken.c_str(), 65534, 65534), 0);
    } else {
        // Only root can give a folder away: a link planted in its place is refused alike.
        std::filesystem::remove(taken);
        std::filesystem::create_directory(shortDir / "elsewhere");
        std::filesystem::create_directory_symlink(shortDir / "elsewhere", taken);
    }
    const std::string password = "demo1234";
    std::vector<std::string> environment = EnvironmentWords(portal->simulator);
    std::filesystem::create_directories(shortDir / "home");  // where the command's data folder goes
    environment.insert(environment.end(), {"TMPDIR=" + (shortDir / "tmp").string(), "HOME=" + (shortDir / "home").string(),
                                           "XDG_CACHE_HOME=", "SKARTINA_PASSWORD=" + password});
    CliProgram cli(environment,
                   {"retrieve", "2016", (dir / "in.grd").string(), (dir / "out.grd").string(), "--afm", kTaxNumber, "--user", "demo"});
    const std::string mark =
        (shortDir / "home" / ".cache" / "skartina-browser" / ("profile-" + std::to_string(cli.process->pid()) + "-")).string();

    // The browser's processes, looked at while the retrieval runs.
    std::set<pid_t> seen;
    std::string held;
    for (int waited = 0; waited < 600 && !cli.Ended(); ++waited) {
        for (pid_t pid : ProcessesMarkedWith(mark)) {
            const std::string environment = ProcFile(pid, "environ");
            if (environment.empty()) continue;  // ended meanwhile
            seen.insert(pid);
            if (environment.find("SKARTINA_PASSWORD") != std::string::npos || environment.find(password) != std::string::npos)
                held += ProcFile(pid, "cmdline").substr(0, 80) + "\n";
        }
        // The program itself, once it runs its browser (before, it may not yet have taken the password out).
        const std::string own = ProcFile(cli.process->pid(), "environ");
        if (!seen.empty() && own.find(password) != std::string::npos) held += "skartina-cli itself\n";
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_EQ(cli.Wait(60), 0);
    EXPECT_GE(seen.size(), 3u) << "the browser's processes were not found under " << mark;
    EXPECT_EQ(held, "") << "processes that held the password";
    SheetGrid written;
    ASSERT_TRUE(LoadGridFromFile(dir / "out.grd", written));
    ExpectYearColumns(written, Expected(grid, SampleReturn(2016), 2016), 2016);
}

// Runs killed while their browser works leave nothing of Chromium's in the
// temporary folder, and the next start removes their profiles.
TEST_F(RetrievalEndToEnd, KilledRunsLeaveNoBrowserFilesInTheTemporaryFolder) {
    Start();
    TempDir dir;
    const ShortDir shortDir;
    SaveGridToFile(grid, dir / "in.grd");
    std::filesystem::create_directories(shortDir / "tmp");
    std::vector<std::string> environment = EnvironmentWords(portal->simulator);
    std::filesystem::create_directories(shortDir / "home");  // where the command's data folder goes
    environment.insert(environment.end(), {"TMPDIR=" + (shortDir / "tmp").string(), "HOME=" + (shortDir / "home").string(),
                                           "SKARTINA_PASSWORD=demo1234"});
    const std::filesystem::path profiles = shortDir / "tmp" / ("skartina-browser-" + std::to_string(geteuid()));
    for (int run = 0; run < 4; ++run) {
        CliProgram cli(environment,
                       {"retrieve", "2016", (dir / "in.grd").string(), (dir / "out.grd").string(), "--afm", kTaxNumber, "--user", "demo"});
        const std::string mark = (profiles / ("profile-" + std::to_string(cli.process->pid()) + "-")).string();
        for (int waited = 0; waited < 300 && ProcessesMarkedWith(mark).size() < 3; ++waited)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ASSERT_FALSE(ProcessesMarkedWith(mark).empty()) << "the browser did not start";
        std::this_thread::sleep_for(std::chrono::milliseconds(500 * run));  // at different moments of the retrieval
        ASSERT_EQ(kill(cli.process->pid(), SIGKILL), 0);
        cli.Wait(10);
        for (int waited = 0; waited < 50 && !ProcessesMarkedWith(mark).empty(); ++waited)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_TRUE(ProcessesMarkedWith(mark).empty()) << "the browser outlived its program";
    }
    EXPECT_EQ(FolderNames(shortDir / "tmp"), std::vector<std::string>{profiles.filename().string()})
        << "only the folder of the profiles is in the temporary folder";
    EXPECT_FALSE(FolderNames(profiles).empty()) << "the killed runs' profiles are there until the next start";

    // The next start of the program, whatever its command, removes them.
    CliProgram next(environment, {"afm", "123456783"});
    EXPECT_EQ(next.Wait(30), 0);
    EXPECT_EQ(FolderNames(profiles), std::vector<std::string>{});
}

}  // namespace
}  // namespace skartina::test
