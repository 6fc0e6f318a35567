// Whole retrievals with headless Chromium against the simulated portal: the
// year's column of the sheet against what the year rules make of the same
// codes, and the portal's faults. Each test starts its own simulator (with
// the fault it needs) and browser, and both are stopped at its end.
//
// SKARTINA_PORTAL_PAUSE_FACTOR (set by the test configuration) shortens the
// fixed pauses; one test keeps the real ones.

#include "support/CliRunner.h"
#include "support/SimulatedPortal.h"
#include "support/TestSupport.h"
#include "e1/CodeList.h"
#include "e1/YearRules.h"
#include "browser/BrowserProfile.h"
#include "browser/DevToolsAnswers.h"
#include "browser/DevToolsBrowser.h"
#include "support/Processes.h"
#include "portal/YearRetrieval.h"
#include "sheet/AnalysisFile.h"
#include "sheet/Recalculate.h"
#include "sheet/SheetLayout.h"
#include "sheet/SheetRows.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <sstream>
#include <thread>

#include <signal.h>
#include <unistd.h>

namespace skartina::test {
namespace {

constexpr const char* kAfm = kSampleAfm;

const PortalCredentials kTaxpayer{kAfm, "demo", "demo1234", false};
const PortalCredentials kAccountant{kAfm, "logistis", "demo5678", true};

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

    YearOutcome Retrieve(int year, const PortalCredentials& credentials, int extraSeconds = 0,
                         PortalTiming timing = PortalTimingFromEnvironment()) {
        PortalSession session{*portal->browser, portal->hosts, timing, {}, {}};
        return RetrieveYearFromPortal(session, {year, credentials, extraSeconds}, true, e1, grid, prompter, view);
    }

    SteadyPumpClock clock;
    std::unique_ptr<SimulatedPortal> portal;
    SheetGrid grid = NewSheet();
    E1CodeTable e1;
    ScriptedPrompter prompter{true};
    RecordingView view{grid};
};

TEST_F(RetrievalEndToEnd, TheTaxpayersYear2010WithTheRealPauses) {
    Start();
    const SheetGrid expected = Expected(grid, SampleReturn(2010), 2010);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Retrieve(2010, kTaxpayer, 0, PortalTiming()), YearOutcome::Read);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(seconds, 1 + 2 + 3 + 2);  // the fixed pauses of a year up to 2013
    ExpectYearColumns(grid, expected, 2010);
    EXPECT_NE(grid.cell(TaxpayerColumnOf(2010), Row::TaxedIncome), "");
    EXPECT_TRUE(prompter.informed.empty());
    EXPECT_FALSE(view.waiting);
    EXPECT_EQ(view.recalculations, 1);
    // Years up to 2013 end logged in, the return's window closed.
    EXPECT_TRUE(portal->browser->HasApplication());
    EXPECT_FALSE(portal->browser->FindWindowByTitle("ΥΠΟΒΟΛΗ ΑΡΧΙΚΗΣ ΔΗΛΩΣΗΣ"));
}

TEST_F(RetrievalEndToEnd, TheAccountantsClientYear2016FromTheReport) {
    Start();
    const SheetGrid expected = Expected(grid, SampleReturn(2016), 2016);
    EXPECT_EQ(Retrieve(2016, kAccountant), YearOutcome::Read);
    ExpectYearColumns(grid, expected, 2016);
    EXPECT_NE(grid.cell(TaxpayerColumnOf(2016), Row::TaxedIncome), "");
    EXPECT_EQ(view.reportsTaken, 1);
    EXPECT_TRUE(prompter.informed.empty());
    // Logged out, and the login page the portal left behind was closed: the browser has ended.
    EXPECT_FALSE(portal->browser->HasApplication());
}

TEST_F(RetrievalEndToEnd, Years2004And2005ThroughTheirLists) {
    Start();
    SheetGrid expected = Expected(grid, SampleReturn(2004), 2004);
    expected = Expected(expected, SampleReturn(2005), 2005);
    EXPECT_EQ(Retrieve(2004, kTaxpayer), YearOutcome::Read);
    EXPECT_EQ(Retrieve(2005, kTaxpayer), YearOutcome::Read);  // the same browser, still logged in
    ExpectYearColumns(grid, expected, 2004);
    ExpectYearColumns(grid, expected, 2005);
    EXPECT_NE(grid.cell(TaxpayerColumnOf(2004), Row::TaxedIncome), grid.cell(TaxpayerColumnOf(2005), Row::TaxedIncome));
}

TEST_F(RetrievalEndToEnd, ALoginPageWithoutItsButtonRunsNoRules) {
    Start({"--no-login-button"});
    e1.set(301, 777);  // the previous year's amounts stay
    grid.setCell(TaxpayerColumnOf(2010), Row::TaxedIncome, "5,00");
    SheetGrid expected = grid;
    RecalculateSheet(expected);
    EXPECT_EQ(Retrieve(2010, kTaxpayer), YearOutcome::LoginFailed);
    EXPECT_EQ(e1[301], 777);
    EXPECT_EQ(grid, expected);  // recalculated, nothing else
    EXPECT_EQ(view.recalculations, 1);
    EXPECT_TRUE(prompter.informed.empty());
}

TEST_F(RetrievalEndToEnd, AnAccountantWhoNeverSeesPBInIsNotLoggedIn) {
    Start({"--no-pbin"});
    e1.set(301, 777);
    EXPECT_EQ(Retrieve(2016, kAccountant), YearOutcome::LoginFailed);
    EXPECT_EQ(e1[301], 777);
    EXPECT_EQ(grid.cell(TaxpayerColumnOf(2016), Row::TaxedIncome), "");
}

TEST_F(RetrievalEndToEnd, NoReportWindowTellsTheUserAndRunsTheRulesOnTheClearedTable) {
    Start({"--no-report"});
    e1.set(301, 777);
    grid.setCell(TaxpayerColumnOf(2016), Row::TaxedIncome, "5,00");
    const SheetGrid expected = Expected(grid, E1CodeTable(), 2016);
    EXPECT_EQ(Retrieve(2016, kTaxpayer), YearOutcome::ReportMissing);
    EXPECT_EQ(prompter.informed, std::vector<std::string>{"Προσωρινή αδυναμία άντλησης στοιχείων. Δοκιμάστε αργότερα."});
    EXPECT_EQ(e1[301], 0);
    ExpectYearColumns(grid, expected, 2016);
    EXPECT_TRUE(portal->browser->HasApplication()) << "no logout without a report";
}

TEST_F(RetrievalEndToEnd, AReportWithoutTheTaxNumberLeavesTheYearEmptyWithoutAMessage) {
    Start({"--report-without-afm"});
    grid.setCell(TaxpayerColumnOf(2016), Row::TaxedIncome, "5,00");
    const SheetGrid expected = Expected(grid, E1CodeTable(), 2016);
    EXPECT_EQ(Retrieve(2016, kTaxpayer), YearOutcome::ReportWithoutAfm);
    EXPECT_TRUE(prompter.informed.empty());
    EXPECT_EQ(view.reportsTaken, 0);
    ExpectYearColumns(grid, expected, 2016);
    EXPECT_EQ(grid.cell(TaxpayerColumnOf(2016), Row::TaxedIncome), "");
    EXPECT_FALSE(portal->browser->HasApplication()) << "logged out as usual";
}

struct MenuFault {
    const char* name;
    const char* simSwitch;
    int year;
    YearOutcome outcome;
};

class RetrievalMenuFault : public RetrievalEndToEnd, public ::testing::WithParamInterface<MenuFault> {};

TEST_P(RetrievalMenuFault, LeavesTheTableAndTheYearUntouched) {
    const MenuFault& fault = GetParam();
    Start({fault.simSwitch});
    e1.set(301, 777);
    grid.setCell(TaxpayerColumnOf(fault.year), Row::TaxedIncome, "5,00");
    SheetGrid expected = grid;
    RecalculateSheet(expected);
    EXPECT_EQ(Retrieve(fault.year, kTaxpayer), fault.outcome);
    EXPECT_EQ(e1[301], 777);
    EXPECT_EQ(grid, expected);
    EXPECT_TRUE(prompter.informed.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, RetrievalMenuFault,
                         ::testing::Values(MenuFault{"NoYearList2010", "--no-year-list", 2010, YearOutcome::YearMenuMissing},
                                           MenuFault{"NoYearList2004", "--no-year-list", 2004, YearOutcome::YearMenuMissing},
                                           MenuFault{"NoPrintButton2012", "--no-print-button", 2012, YearOutcome::PrintButtonMissing},
                                           MenuFault{"NoPrintButton2016", "--no-print-button", 2016, YearOutcome::PrintButtonMissing}),
                         [](const auto& info) { return std::string(info.param.name); });

class RetrievalLogoutLanding : public RetrievalEndToEnd, public ::testing::WithParamInterface<const char*> {};

TEST_P(RetrievalLogoutLanding, ClosesThePageTheLogoutLandsOn) {
    Start({"--logout-to", GetParam()});
    const SheetGrid expected = Expected(grid, SampleReturn(2016), 2016);
    EXPECT_EQ(Retrieve(2016, kTaxpayer), YearOutcome::Read);
    ExpectYearColumns(grid, expected, 2016);
    EXPECT_FALSE(portal->browser->HasApplication()) << "the page left after the logout was closed";
}

INSTANTIATE_TEST_SUITE_P(Cases, RetrievalLogoutLanding, ::testing::Values("login", "alt-login", "home"),
                         [](const auto& info) { return std::string(info.param == std::string("alt-login") ? "altlogin" : info.param); });

TEST_F(RetrievalEndToEnd, AClientTheAccountantMayNotSeeGivesNoYear) {
    Start({"--refuse-client", kAfm});
    e1.set(301, 777);
    EXPECT_EQ(Retrieve(2010, kAccountant), YearOutcome::YearMenuMissing);
    EXPECT_EQ(e1[301], 777);
    EXPECT_EQ(grid.cell(TaxpayerColumnOf(2010), Row::TaxedIncome), "");
}

TEST_F(RetrievalEndToEnd, ABrowserClosedByTheUserIsOpenedAnewByTheNextRetrieval) {
    Start();
    EXPECT_EQ(Retrieve(2010, kTaxpayer), YearOutcome::Read);
    ASSERT_TRUE(portal->browser->HasApplication());
    // The user closes every window of the browser behind the program's back.
    for (const OpenWindow& window : portal->browser->Windows())
        portal->browser->Command("Target.closeTarget", {{"targetId", window.handle}});
    const SheetGrid expected = Expected(grid, SampleReturn(2012), 2012);
    EXPECT_EQ(Retrieve(2012, kTaxpayer), YearOutcome::Read);
    ExpectYearColumns(grid, expected, 2012);
    EXPECT_TRUE(prompter.informed.empty());
}

TEST_F(RetrievalEndToEnd, ASlowReportNeedsTheExtraTime) {
    Start({"--delay-report", "4000"});
    EXPECT_EQ(Retrieve(2016, kTaxpayer, 0), YearOutcome::ReportMissing);
    EXPECT_EQ(prompter.informed, std::vector<std::string>{kNoReportMessage});
    const SheetGrid expected = Expected(grid, SampleReturn(2016), 2016);
    EXPECT_EQ(Retrieve(2016, kTaxpayer, 6), YearOutcome::Read);
    ExpectYearColumns(grid, expected, 2016);
}

TEST_F(RetrievalEndToEnd, TheCommandLineRetrievesIntoTheSheetFile) {
    Start();
    TempDir dir;
    SaveGridToFile(grid, dir / "in.grd");
    const std::string environment = ShellEnvironment(portal->simulator);
    const std::string files = " 2010 " + Q(dir / "in.grd") + " " + Q(dir / "out.grd") + " --afm " + kAfm + " --user demo";

    // A password is never taken from the command line.
    const CliRun refused = Cli(dir, "retrieve" + files + " --password demo1234");
    EXPECT_EQ(refused.status, 2);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.grd"));

    // Without the variable and without a terminal there is no password to be had.
    const std::string command = "env -u SKARTINA_PASSWORD " + environment + "setsid -w " + SKARTINA_CLI + " retrieve" + files +
                                " </dev/null 2>" + (dir / "tty.txt").string();
    EXPECT_NE(std::system(command.c_str()), 0);
    EXPECT_NE(ReadBytes(dir / "tty.txt").find("SKARTINA_PASSWORD"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.grd"));

    const std::string run = environment + "SKARTINA_PASSWORD=demo1234 " + SKARTINA_CLI + " retrieve" + files +
                            " --extra-seconds -3 2>" + (dir / "err.txt").string();
    EXPECT_EQ(std::system(run.c_str()), 0) << ReadBytes(dir / "err.txt");
    SheetGrid written;
    ASSERT_TRUE(LoadGridFromFile(dir / "out.grd", written));
    ExpectYearColumns(written, Expected(grid, SampleReturn(2010), 2010), 2010);
}

TEST_F(RetrievalEndToEnd, AReportBeyondTwentyMegabytesIsRefusedWithAClearMessage) {
    Start({"--huge-report"});
    EXPECT_EQ(Retrieve(2016, kTaxpayer, 20), YearOutcome::Failed);  // a slow machine takes a while to show 21 MB
    ASSERT_EQ(prompter.informed.size(), 1u);
    EXPECT_NE(prompter.informed[0].find(devtools::kReportTooLargeMessage), std::string::npos) << prompter.informed[0];
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
    const PortalHosts& h = portal->hosts;
    CliProgram cli(
                   {"TMPDIR=" + (shortDir / "tmp").string(), "HOME=" + (shortDir / "home").string(), "XDG_CACHE_HOME=",
                    "SKARTINA_PORTAL_APP_HOST=" + h.app, "SKARTINA_PORTAL_LOGIN_HOST=" + h.login,
                    "SKARTINA_PORTAL_ALT_LOGIN_HOST=" + h.altLogin, "SKARTINA_BROWSER_HEADLESS=1",
                    "SKARTINA_PORTAL_INSECURE_TLS=1", "SKARTINA_PASSWORD=" + password},
                   {"retrieve", "2016", (dir / "in.grd").string(), (dir / "out.grd").string(), "--afm", kAfm, "--user", "demo"});
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
    const PortalHosts& h = portal->hosts;
    const std::vector<std::string> environment = {
        "TMPDIR=" + (shortDir / "tmp").string(), "HOME=" + (shortDir / "home").string(),
        "SKARTINA_PORTAL_APP_HOST=" + h.app,   "SKARTINA_PORTAL_LOGIN_HOST=" + h.login,
        "SKARTINA_PORTAL_ALT_LOGIN_HOST=" + h.altLogin, "SKARTINA_BROWSER_HEADLESS=1",
        "SKARTINA_PORTAL_INSECURE_TLS=1",      "SKARTINA_PASSWORD=demo1234"};
    const std::filesystem::path profiles = shortDir / "tmp" / ("skartina-browser-" + std::to_string(geteuid()));
    for (int run = 0; run < 4; ++run) {
        CliProgram cli(environment,
                       {"retrieve", "2016", (dir / "in.grd").string(), (dir / "out.grd").string(), "--afm", kAfm, "--user", "demo"});
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
