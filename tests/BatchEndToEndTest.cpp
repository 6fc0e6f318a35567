// SPDX-License-Identifier: GPL-3.0-or-later
// Runs of many years with headless Chromium against the simulated portal:
// every year's columns against what `skartina-cli year` makes of the same
// codes, the kept documents re-imported to the same sheet, the faults of single
// years, the browser closed and the run cancelled midway, a refused client,
// and no browser or driver process left behind. Each test starts its own
// simulator and browser.

#include "support/CliRunner.h"
#include "support/SimulatedPortal.h"
#include "support/TestSupport.h"
#include "portal/BatchRetrieval.h"
#include "portal/YearSources.h"
#include "e1/YearRules.h"
#include "registry/TaxpayerRecord.h"
#include "sheet/AnalysisFile.h"
#include "sheet/Recalculate.h"
#include "sheet/SheetLayout.h"
#include "sheet/SheetRows.h"
#include "support/PortalGridForms.h"

#include <gtest/gtest.h>

#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <thread>

namespace skartina::test {
namespace {

const PortalCredentials kTaxpayer{kSampleTaxNumber, "demo", "demo1234", false};
const PortalCredentials kAccountant{kSampleTaxNumber, "logistis", "demo5678", true};

std::vector<int> Years(int first, int last) {
    std::vector<int> years;
    for (int year = first; year <= last; ++year) years.push_back(year);
    return years;
}

SheetGrid NewSheet() {
    SheetGrid grid;
    BuildSheetLayout(grid, YearSelection());
    return grid;
}

// The processes this test has started, at any depth, that are still alive:
// as the subreaper of its descendants it also sees those whose parent has ended.
std::vector<std::string> LiveDescendants() {
    std::map<int, std::pair<int, std::string>> processes;  // pid -> parent, name
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line)) continue;
        const size_t open = line.find('('), close = line.rfind(')');
        if (open == std::string::npos || close == std::string::npos) continue;
        std::istringstream rest(line.substr(close + 2));
        char state = 0;
        int parent = 0;
        rest >> state >> parent;
        if (state == 'Z') continue;
        processes[std::stoi(name)] = {parent, line.substr(open + 1, close - open - 1)};
    }
    std::vector<std::string> found;
    for (const auto& [pid, process] : processes) {
        for (int up = process.first; up > 1; up = processes.count(up) ? processes[up].first : 0) {
            if (up == getpid()) {
                found.push_back(process.second);
                break;
            }
        }
    }
    return found;
}

// Browser processes ("chromium", "chrome", its crash handler) still alive.
std::vector<std::string> BrowserProcesses() {
    std::vector<std::string> left;
    for (int attempt = 0; attempt < 50; ++attempt) {  // a quitting browser takes a moment to go
        left.clear();
        for (const std::string& name : LiveDescendants()) {
            if (name.rfind("chrom", 0) != 0) continue;
            left.push_back(name);
        }
        if (left.empty()) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return left;
}

// The view of a test: the sheet recalculated as each year arrives, what the
// run reported, and a hook run while a chosen year is in hand.
struct TestView : BatchView {
    explicit TestView(SheetGrid& g) : grid(g) {}
    void Progress(const BatchProgress& progress) override {
        inHand = progress.year;
        positions.push_back(progress.position);
        EXPECT_EQ(progress.done, progress.position - 1);
        total = progress.total;
    }
    void YearFilled(int year) override {
        RecalculateSheet(grid);
        filled.push_back(year);
    }
    void YearEnded(const YearResult& result) override { ended.push_back(result.year); }
    bool CancelRequested() override { return cancel; }
    SheetGrid& grid;
    int inHand = 0;
    int total = 0;
    std::vector<int> positions, filled, ended;
    bool cancel = false;
};

class BatchEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        const BrowserConfig defaults;
        ASSERT_TRUE(std::filesystem::exists(defaults.chromium))
            << "Chromium is needed (scripts/install-deps installs it)";
        ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    }
    void TearDown() override {
        portal.reset();
        EXPECT_EQ(BrowserProcesses(), std::vector<std::string>{}) << "a browser process was left behind";
    }

    void Start(std::vector<std::string> switches = {}) {
        portal = std::make_unique<SimulatedPortal>(std::move(switches), clock);
    }

    BatchResult Run(const PortalCredentials& credentials, std::vector<int> years, int extraSeconds = 0) {
        PortalSession session{*portal->browser, portal->hosts, PortalTimingFromEnvironment(), {}, {}};
        const BatchRequest request{credentials, std::move(years), extraSeconds, sources, false};
        BatchResult result = RetrieveYears(session, request, e1, grid, view);
        EXPECT_FALSE(portal->browser->HasApplication()) << "the browser is closed at the end";
        EXPECT_EQ(BrowserProcesses(), std::vector<std::string>{}) << "the browser's processes ended";
        return result;
    }

    // What `skartina-cli year` gives for the sample's codes of the years, one after another.
    SheetGrid ThroughTheYearCommand(const std::vector<int>& years) {
        TempDir dir;
        SaveGridToFile(NewSheet(), dir / "sheet.grd");
        for (int year : years) {
            std::ofstream(dir / "codes.txt") << WriteCodeList(SampleReturn(year));
            const std::string y = std::to_string(year);
            // The command writes another file than it reads; each year's result becomes the next input.
            const CliRun run = Cli(dir, "year " + y + " " + Q(dir / "codes.txt") + " " + Q(dir / "sheet.grd") + " " +
                                            Q(dir / "next.grd"));
            EXPECT_EQ(run.status, 0) << run.err;
            std::filesystem::rename(dir / "next.grd", dir / "sheet.grd");
        }
        SheetGrid sheet;
        EXPECT_TRUE(LoadGridFromFile(dir / "sheet.grd", sheet));
        return sheet;
    }

    // The kept documents read back through `year` (return pages) and
    // `import-report` (reports) into a new sheet.
    SheetGrid FromTheSources(const std::vector<int>& years) {
        TempDir dir;
        SaveGridToFile(NewSheet(), dir / "sheet.grd");
        for (int year : years) {
            const std::string y = std::to_string(year);
            const bool report = year >= 2014;
            const std::filesystem::path source = sources / (y + (report ? ".pdf" : ".txt"));
            EXPECT_TRUE(std::filesystem::exists(source)) << source;
            struct stat info {};
            EXPECT_EQ(stat(source.c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & 0777, 0600u) << source;
            if (report) {
                EXPECT_EQ(ReadBytes(source).rfind("%PDF", 0), 0u) << "the report's bytes as the portal gave them";
            }
            const CliRun run = Cli(dir, std::string(report ? "import-report " : "year ") + y + " " + Q(source) + " " +
                                            Q(dir / "sheet.grd") + " " + Q(dir / "next.grd"));
            EXPECT_EQ(run.status, 0) << run.err;
            std::filesystem::rename(dir / "next.grd", dir / "sheet.grd");
        }
        struct stat folder {};
        EXPECT_EQ(stat(sources.c_str(), &folder), 0);
        EXPECT_EQ(folder.st_mode & 0777, 0700u);
        SheetGrid sheet;
        EXPECT_TRUE(LoadGridFromFile(dir / "sheet.grd", sheet));
        return sheet;
    }

    // A clock whose pump runs the test's hook (a user acting during a wait).
    std::function<void()> duringWaits;
    SteadyPumpClock clock{[this] {
        if (duringWaits) duringWaits();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }};
    std::unique_ptr<SimulatedPortal> portal;
    TempDir tables;
    std::filesystem::path sources = SourcesFolder(tables.path(), kSampleTaxNumber);
    SheetGrid grid = NewSheet();
    E1CodeTable e1;
    TestView view{grid};
};

class BatchEighteenYears : public BatchEndToEnd, public ::testing::WithParamInterface<bool> {};

TEST_P(BatchEighteenYears, FillsEveryYearAsTheYearCommandAndKeepsItsDocument) {
    Start();
    const PortalCredentials& credentials = GetParam() ? kAccountant : kTaxpayer;
    const std::vector<int> years = Years(2003, 2020);
    const BatchResult result = Run(credentials, years);

    ASSERT_EQ(result.years.size(), 18u);
    for (size_t i = 0; i < result.years.size(); ++i) {
        EXPECT_EQ(result.years[i].year, 2020 - static_cast<int>(i)) << "newest to oldest";
        EXPECT_EQ(result.years[i].end.ending, Ending::Read) << result.years[i].Sentence();
    }
    EXPECT_FALSE(result.AnyFailed());
    EXPECT_EQ(view.filled.size(), 18u) << "the sheet is recalculated as each year arrives";
    EXPECT_EQ(view.total, 18);
    EXPECT_EQ(view.positions, Years(1, 18));

    const SheetGrid expected = ThroughTheYearCommand(years);
    for (int year : years)
        for (int column : {TaxpayerColumnOf(year), SpouseColumnOf(year)})
            for (int row = 0; row < kSheetRows; ++row)
                EXPECT_EQ(grid.cell(column, row), expected.cell(column, row)) << year << " column " << column << " row " << row;
    EXPECT_EQ(grid, expected);
    EXPECT_NE(grid.cell(TaxpayerColumnOf(2003), Row::TaxedIncome), "");
    EXPECT_NE(grid.cell(TaxpayerColumnOf(2020), Row::TaxedIncome), "");
    EXPECT_EQ(FromTheSources(years), grid);

    const std::vector<std::string> summary = BatchSummaryLines(result);
    EXPECT_EQ(summary.front(), "Άντληση 18 ετών: 18 αντλήθηκαν, 0 χωρίς δήλωση, 0 απέτυχαν, 0 δεν αντλήθηκαν.");
    EXPECT_EQ(summary.size(), 19u);
    EXPECT_EQ(summary[1], "2020: αντλήθηκε.");
}

INSTANTIATE_TEST_SUITE_P(Logins, BatchEighteenYears, ::testing::Values(false, true),
                         [](const auto& info) { return std::string(info.param ? "Accountant" : "Taxpayer"); });

TEST_F(BatchEndToEnd, FaultsOfSingleYearsEndOnlyThoseYears) {
    Start({"--no-return-in", "2011", "--report-without-afm-in", "2018", "--late-in", "2016", "12000"});
    // The years' columns that fail keep what they held.
    grid.setCell(TaxpayerColumnOf(2018), Row::TaxedIncome, "5,00");
    grid.setCell(TaxpayerColumnOf(2011), Row::TaxedIncome, "6,00");
    const SheetGrid before = grid;
    const std::vector<int> years = Years(2009, 2020);
    const BatchResult result = Run(kTaxpayer, years);

    std::map<int, const YearResult*> byYear;
    for (const YearResult& year : result.years) byYear[year.year] = &year;
    EXPECT_EQ(byYear[2011]->end.ending, Ending::NoReturn);
    EXPECT_EQ(byYear[2018]->end.ending, Ending::ReportWithoutTaxNumber);
    EXPECT_EQ(byYear[2016]->end.ending, Ending::PageNotAsExpected);
    std::vector<int> read;
    for (const YearResult& year : result.years)
        if (year.end.ending == Ending::Read) read.push_back(year.year);
    EXPECT_EQ(read, (std::vector<int>{2020, 2019, 2017, 2015, 2014, 2013, 2012, 2010, 2009}));
    EXPECT_TRUE(result.AnyFailed());

    EXPECT_EQ(grid.cell(TaxpayerColumnOf(2018), Row::TaxedIncome), "5,00");
    EXPECT_EQ(grid.cell(TaxpayerColumnOf(2011), Row::TaxedIncome), "") << "no return: the year is emptied";
    EXPECT_TRUE(std::filesystem::exists(sources / "2011.txt"));
    EXPECT_FALSE(std::filesystem::exists(sources / "2016.pdf"));
    EXPECT_FALSE(std::filesystem::exists(sources / "2018.pdf"));
    // The years read and the empty one as their rules fill them; the failed ones as they were.
    SheetGrid expected = before;
    for (int year : read) {
        E1CodeTable codes = SampleReturn(year);
        RunYearRules(codes, expected, year);
    }
    E1CodeTable none;
    RunYearRules(none, expected, 2011);
    RecalculateSheet(expected);
    EXPECT_EQ(grid, expected);

    const std::vector<std::string> summary = BatchSummaryLines(result);
    const std::vector<std::string> lines(summary.begin() + 1, summary.end());
    EXPECT_EQ(summary.front(), "Άντληση 12 ετών: 9 αντλήθηκαν, 1 χωρίς δήλωση, 2 απέτυχαν, 0 δεν αντλήθηκαν.");
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "2020: αντλήθηκε.",
                         "2019: αντλήθηκε.",
                         "2018: το εκκαθαριστικό δεν αναφέρει τον Α.Φ.Μ. του πελάτη. Όσα χρειάζεται ο προγραμματιστής "
                         "φυλάχτηκαν στον φάκελο «" + byYear[2018]->end.diagnostics.string() + "».",
                         "2017: αντλήθηκε.",
                         "2016: η σελίδα της Α.Α.Δ.Ε. δεν ήταν όπως την περιμέναμε: στο βήμα «εκκαθαριστικό του έτους» "
                         "δεν εμφανίστηκε το αρχείο του εκκαθαριστικού (το παράθυρό του άνοιξε, το αρχείο δεν έφτασε). "
                         "Όσα χρειάζεται ο προγραμματιστής φυλάχτηκαν "
                         "στον φάκελο «" + byYear[2016]->end.diagnostics.string() + "». Λεπτομέρειες στο αρχείο «" +
                             (sources / "retrieval.log").string() + "».",
                         "2015: αντλήθηκε.",
                         "2014: αντλήθηκε.",
                         "2013: αντλήθηκε.",
                         "2012: αντλήθηκε.",
                         "2011: η Α.Α.Δ.Ε. δεν έχει δήλωση για το έτος.",
                         "2010: αντλήθηκε.",
                         "2009: αντλήθηκε.",
                     }));
}

TEST_F(BatchEndToEnd, ABrowserClosedByTheUserEndsTheYearInHandAndTheRunGoesOn) {
    Start();
    bool closed = false;
    duringWaits = [&] {
        if (closed || view.inHand != 2012) return;
        closed = true;
        // The user closes every window of the browser behind the program's back.
        for (const OpenWindow& window : portal->browser->Windows())
            portal->browser->Command("Target.closeTarget", {{"targetId", window.handle}});
    };
    const BatchResult result = Run(kTaxpayer, Years(2010, 2014));
    ASSERT_TRUE(closed);
    const std::vector<std::string> summary = BatchSummaryLines(result);
    EXPECT_EQ(std::vector<std::string>(summary.begin() + 1, summary.end()),
              (std::vector<std::string>{"2014: αντλήθηκε.", "2013: αντλήθηκε.",
                                        "2012: το παράθυρο της Α.Α.Δ.Ε. έκλεισε πριν τελειώσει η άντληση.",
                                        "2011: αντλήθηκε.", "2010: αντλήθηκε."}));
    EXPECT_EQ(view.filled, (std::vector<int>{2014, 2013, 2011, 2010}));
    EXPECT_EQ(grid.cell(TaxpayerColumnOf(2012), Row::TaxedIncome), "");
    EXPECT_NE(grid.cell(TaxpayerColumnOf(2010), Row::TaxedIncome), "");
}

TEST_F(BatchEndToEnd, CancelStopsAfterTheStepInHandAndKeepsTheYearsRead) {
    Start();
    duringWaits = [&] {
        if (view.inHand == 2012) view.cancel = true;  // pressed while the year's menu is awaited
    };
    const BatchResult result = Run(kTaxpayer, Years(2009, 2014));
    EXPECT_TRUE(result.cancelled);
    EXPECT_TRUE(result.AnyFailed());
    const std::vector<std::string> summary = BatchSummaryLines(result);
    EXPECT_EQ(summary, (std::vector<std::string>{
                           "Άντληση 6 ετών: 2 αντλήθηκαν, 0 χωρίς δήλωση, 0 απέτυχαν, 4 δεν αντλήθηκαν.",
                           "Η άντληση ακυρώθηκε· τα έτη που αντλήθηκαν έμειναν στο φύλλο.",
                           "2014: αντλήθηκε.",
                           "2013: αντλήθηκε.",
                           "2012: η άντληση ακυρώθηκε.",
                           "2011: δεν αντλήθηκε, γιατί η άντληση σταμάτησε νωρίτερα.",
                           "2010: δεν αντλήθηκε, γιατί η άντληση σταμάτησε νωρίτερα.",
                           "2009: δεν αντλήθηκε, γιατί η άντληση σταμάτησε νωρίτερα.",
                       }));
    const SheetGrid expected = ThroughTheYearCommand({2014, 2013});
    EXPECT_EQ(grid, expected) << "the years read stay; nothing else changed";
    EXPECT_TRUE(std::filesystem::exists(sources / "2013.txt"));
    EXPECT_FALSE(std::filesystem::exists(sources / "2012.txt"));
}

// Endings that stop the run: the year in hand tells why, the others were not reached.
struct StopCase {
    const char* name;
    std::vector<std::string> switches;
    bool accountant;
    const char* password;
    Ending ending;
};

class BatchStop : public BatchEndToEnd, public ::testing::WithParamInterface<StopCase> {};

TEST_P(BatchStop, EndsTheRunAtOnceAndLeavesTheSheet) {
    const StopCase& c = GetParam();
    Start(c.switches);
    e1.set(301, 777);
    const SheetGrid before = grid;
    PortalCredentials credentials = c.accountant ? kAccountant : kTaxpayer;
    credentials.password = c.password;
    const auto start = std::chrono::steady_clock::now();
    const BatchResult result = Run(credentials, Years(2010, 2014));
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 15)
        << "recognised from the portal's answer, not waited out year by year";
    ASSERT_EQ(result.years.size(), 5u);
    EXPECT_EQ(result.years[0].end.ending, c.ending);
    for (size_t i = 1; i < result.years.size(); ++i) EXPECT_EQ(result.years[i].end.ending, Ending::NotReached);
    EXPECT_TRUE(view.positions.empty()) << "no year was begun";
    EXPECT_EQ(e1[301], 777);
    EXPECT_EQ(grid, before);
    const std::vector<std::string> summary = BatchSummaryLines(result);
    EXPECT_EQ(summary[0], "Άντληση 5 ετών: 0 αντλήθηκαν, 0 χωρίς δήλωση, 1 απέτυχαν, 4 δεν αντλήθηκαν.");
    EXPECT_EQ(summary[1], result.years[0].Sentence());
    EXPECT_EQ(summary[2], "2013: δεν αντλήθηκε, γιατί η άντληση σταμάτησε νωρίτερα.");
}

INSTANTIATE_TEST_SUITE_P(Cases, BatchStop,
                         ::testing::Values(StopCase{"RefusedClient", {"--refuse-client", kSampleTaxNumber}, true, "demo5678",
                                                    Ending::ClientRefused},
                                           StopCase{"WrongPassword", {}, false, "wrong", Ending::WrongCredentials}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BatchEndToEnd, APortalGoneMidRunStopsAtTheFirstFailureAndNamesTheLog) {
    Start();
    bool stopped = false;
    duringWaits = [&] {
        if (stopped || view.inHand != 2012) return;
        stopped = true;
        portal->simulator.Stop();  // the portal goes away while 2012 is in hand
    };
    const BatchResult result = Run(kTaxpayer, Years(2009, 2014));
    ASSERT_TRUE(stopped);
    const std::vector<std::string> summary = BatchSummaryLines(result);
    EXPECT_EQ(summary, (std::vector<std::string>{
                           "Άντληση 6 ετών: 2 αντλήθηκαν, 0 χωρίς δήλωση, 1 απέτυχαν, 3 δεν αντλήθηκαν.",
                           "2014: αντλήθηκε.",
                           "2013: αντλήθηκε.",
                           "2012: δεν υπήρξε σύνδεση με την Α.Α.Δ.Ε. (ελέγξτε τη σύνδεση στο διαδίκτυο ή δοκιμάστε "
                           "αργότερα). Λεπτομέρειες στο αρχείο «" + (sources / "retrieval.log").string() + "».",
                           "2011: δεν αντλήθηκε, γιατί η άντληση σταμάτησε νωρίτερα.",
                           "2010: δεν αντλήθηκε, γιατί η άντληση σταμάτησε νωρίτερα.",
                           "2009: δεν αντλήθηκε, γιατί η άντληση σταμάτησε νωρίτερα.",
                       }));
    for (const std::string& line : summary) EXPECT_EQ(line.find("ERR_"), std::string::npos) << line;
}

// The same reports drawn column by column give the same sheet, to the byte,
// as those drawn row by row.
// Reports that look the same on paper, their text drawn in other orders: the
// command line writes the plain portal's sheet file byte for byte and the same
// summary. Each run's time is printed beside the plain run's.
TEST_F(BatchEndToEnd, ReportsDrawnInAnyOrderGiveTheSameSheet) {
    TempDir dir;
    std::filesystem::create_directories(dir / "Tables");  // the command's data folder, not the home folder's
    std::filesystem::permissions(dir / "Tables", std::filesystem::perms::owner_all, std::filesystem::perm_options::replace);
    SaveGridToFile(grid, dir / "in.grd");
    std::map<std::string, std::string> sheets, summaries;
    std::map<std::string, double> seconds;
    for (const std::string order : {"plain", "codes-first", "bottom-up", "columns", "right-to-left"}) {
        Start({"--report-order", order});
        const std::filesystem::path out = dir / (order + ".grd"), summary = dir / (order + ".txt");
        const std::string command = "cd " + Q(dir.path()) + " && env SKARTINA_PASSWORD=demo1234 " +
                                    ShellEnvironment(portal->simulator) + SKARTINA_CLI + " retrieve-all in.grd " + Q(out) +
                                    " --afm " + kSampleTaxNumber + " --user demo --years 2014-2020 </dev/null >" + Q(summary) +
                                    " 2>" + Q(dir / "progress.txt");
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(std::system(command.c_str()), 0) << order << ": " << ReadBytes(dir / "progress.txt");
        seconds[order] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        sheets[order] = ReadBytes(out);
        summaries[order] = ReadBytes(summary);
        if (order == "plain") continue;
        std::printf("variation %-28s %6.2f s, plain %6.2f s, ratio %.2f\n", ("ReportOrder-" + order).c_str(), seconds[order],
                    seconds["plain"], seconds["plain"] > 0 ? seconds[order] / seconds["plain"] : 0.0);
        EXPECT_EQ(summaries[order], summaries["plain"]) << order;
        EXPECT_TRUE(sheets[order] == sheets["plain"]) << order << ": the sheets differ";
    }
    EXPECT_EQ(summaries["plain"].rfind("Άντληση 7 ετών: 7 αντλήθηκαν, 0 χωρίς δήλωση", 0), 0u) << summaries["plain"];
    EXPECT_FALSE(sheets["plain"].empty());
}

TEST_F(BatchEndToEnd, TheCommandLineUsesTheRegisterAndReportsAFailedYear) {
    Start({"--report-without-afm-in", "2016"});
    TempDir dir;
    std::filesystem::create_directories(dir / "Tables");
    WriteTaxpayerRecord(RecordFilePath(dir / "Tables", kSampleTaxNumber), {kSampleTaxNumber, "ΠΑΠΑΔΟΠΟΥΛΟΣ", "ΓΙΩΡΓΟΣ", "", "demo", "demo1234"});
    SaveGridToFile(grid, dir / "in.grd");
    const std::string command = "cd " + Q(dir.path()) + " && env -u SKARTINA_PASSWORD " + ShellEnvironment(portal->simulator) + SKARTINA_CLI +
                                " retrieve-all in.grd out.grd --afm " + kSampleTaxNumber + " --years 2012-2016 </dev/null >" +
                                Q(dir / "summary.txt") + " 2>" + Q(dir / "progress.txt");
    const int raw = std::system(command.c_str());
    EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1) << ReadBytes(dir / "progress.txt");
    const std::string summary = ReadBytes(dir / "summary.txt");
    const std::string failed = "2016: το εκκαθαριστικό δεν αναφέρει τον Α.Φ.Μ. του πελάτη. Όσα χρειάζεται ο προγραμματιστής "
                               "φυλάχτηκαν στον φάκελο «";
    EXPECT_EQ(summary.rfind("Άντληση 5 ετών: 4 αντλήθηκαν, 0 χωρίς δήλωση, 1 απέτυχαν, 0 δεν αντλήθηκαν.\n" + failed, 0), 0u) << summary;
    EXPECT_NE(summary.find("Tables/" + std::string(kSampleTaxNumber) + "_sources/diagnostics/2016-"), std::string::npos) << summary;
    EXPECT_NE(summary.find("».\n2015: αντλήθηκε.\n2014: αντλήθηκε.\n2013: αντλήθηκε.\n2012: αντλήθηκε.\n"), std::string::npos) << summary;
    EXPECT_NE(ReadBytes(dir / "progress.txt").find("2016 (1 από 5"), std::string::npos);
    SheetGrid written;
    ASSERT_TRUE(LoadGridFromFile(dir / "out.grd", written));
    EXPECT_EQ(written, ThroughTheYearCommand({2015, 2014, 2013, 2012}));
    for (const char* name : {"2015.pdf", "2014.pdf", "2013.txt", "2012.txt"})
        EXPECT_TRUE(std::filesystem::exists(dir / "Tables" / (std::string(kSampleTaxNumber) + "_sources") / name)) << name;
}

// Ctrl+C in the middle of a run is the window's Cancel: the sheet is written
// with the years read, the summary says what was not reached, and the browser's
// profile folder goes with the browser.
TEST_F(BatchEndToEnd, CtrlCOnTheCommandLineCancelsAndKeepsTheYearsRead) {
    Start({"--late-in", "2014", "6000"});
    TempDir dir;
    std::filesystem::create_directories(dir / "Tables");
    std::filesystem::create_directories(dir / "run");
    std::filesystem::permissions(dir / "run", std::filesystem::perms::owner_all);
    SaveGridToFile(grid, dir / "in.grd");
    const std::string command =
        "cd " + Q(dir.path()) + " && { env SKARTINA_PASSWORD=demo1234 XDG_RUNTIME_DIR=" + Q(dir / "run") + " " +
        ShellEnvironment(portal->simulator) + SKARTINA_CLI + " retrieve-all in.grd out.grd --afm " + kSampleTaxNumber +
        " --user demo --years 2012-2016 </dev/null >summary.txt 2>progress.txt & pid=$!; "
        "for i in $(seq 600); do grep -q '^2014 (' progress.txt && break; sleep 0.1; done; sleep 1; "
        "kill -INT $pid; wait $pid; echo $? >status.txt; }";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadBytes(dir / "status.txt"), "1\n") << ReadBytes(dir / "progress.txt");
    const std::string summary = ReadBytes(dir / "summary.txt");
    EXPECT_EQ(summary.substr(0, summary.find('\n')),
              "Άντληση 5 ετών: 2 αντλήθηκαν, 0 χωρίς δήλωση, 0 απέτυχαν, 3 δεν αντλήθηκαν.")
        << summary;
    EXPECT_NE(summary.find("ακυρώθηκε"), std::string::npos) << summary;
    EXPECT_NE(summary.find("2016: αντλήθηκε."), std::string::npos) << summary;
    EXPECT_NE(ReadBytes(dir / "progress.txt").find("διακοπή"), std::string::npos);
    SheetGrid written;
    ASSERT_TRUE(LoadGridFromFile(dir / "out.grd", written));
    EXPECT_EQ(written, ThroughTheYearCommand({2016, 2015}));
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir / "run"))
        if (entry.path().filename().string().starts_with("profile-")) left.push_back(entry.path().string());
    EXPECT_EQ(left, std::vector<std::string>{});
}

// The profile folders left in a runtime folder.
std::vector<std::string> ProfilesLeft(const std::filesystem::path& runtime) {
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(runtime))
        if (entry.path().filename().string().starts_with("profile-")) left.push_back(entry.path().string());
    return left;
}

// Each command that drives the browser, interrupted while the portal holds a
// year back: once (the window's Cancel) or twice in a row (the end at once).
// Each ends by itself, says what it kept, and leaves no browser profile.
TEST_F(BatchEndToEnd, EachRetrievingCommandInterruptedEndsItselfAndLeavesNoProfile) {
    const std::string taxNumber = kSampleTaxNumber;
    const struct {
        const char* name;
        std::string args;
        std::string ready;  // a shell condition: the run is where it is interrupted
        int interrupts;
        std::vector<std::string> said;  // in standard error or output
        bool writesTheSheet;
    } cases[] = {
        {"retrieve", "retrieve 2014 in.grd out.grd --afm " + taxNumber + " --user demo",
         "find run -name 'profile-*' | grep -q . && sleep 3", 1,
         {"διακοπή:", "2014: η άντληση ακυρώθηκε· το out.grd δεν γράφτηκε"}, false},
        {"retrieve, twice", "retrieve 2014 in.grd out.grd --afm " + taxNumber + " --user demo",
         "find run -name 'profile-*' | grep -q . && sleep 3", 2, {"διακοπή τώρα:", "δεν γράφτηκε"}, false},
        {"retrieve-all, twice", "retrieve-all in.grd out.grd --afm " + taxNumber + " --user demo --years 2012-2016",
         "grep -q '^2014 (' err.txt", 2,
         {"διακοπή τώρα:", "Άντληση 5 ετών: 2 αντλήθηκαν", "ακυρώθηκε", "2016: αντλήθηκε."}, true},
        {"retrieve-clients", "retrieve-clients --years 2012-2016", "grep -q 'έτος 2014 ' err.txt", 1,
         {"διακοπή:", "ακυρώθηκε", "Αναφορά: "}, false},
    };
    for (const auto& c : cases) {
        Start({"--late-in", "2014", "6000"});
        TempDir dir;
        std::filesystem::create_directories(dir / "Tables");
        std::filesystem::permissions(dir / "Tables", std::filesystem::perms::owner_all);
        std::filesystem::create_directories(dir / "run");
        std::filesystem::permissions(dir / "run", std::filesystem::perms::owner_all);
        SaveGridToFile(grid, dir / "in.grd");
        const std::string environment = "env SKARTINA_PASSWORD=demo1234 XDG_RUNTIME_DIR=" + Q(dir / "run") + " " +
                                         ShellEnvironment(portal->simulator) + SKARTINA_CLI;
        if (std::string(c.name) == "retrieve-clients") {
            WriteBytes(dir / "clients.csv", "ΑΦΜ;Επώνυμο;Όνομα;Πατρώνυμο;UserName;Password\n" + taxNumber +
                                                ";ΔΟΚΙΜΑΣΤΙΚΟΣ;ΠΕΛΑΤΗΣ;ΓΕΩΡΓΙΟΣ;demo;demo1234\n");
            ASSERT_EQ(std::system(("cd " + Q(dir.path()) + " && " + environment +
                                   " import-clients clients.csv >/dev/null 2>&1").c_str()),
                      0);
        }
        std::string signals = "kill -INT $pid";
        // The second while the first still ends the run: closing the browser takes longer.
        for (int i = 1; i < c.interrupts; ++i) signals += "; sleep 0.05; kill -INT $pid";
        const std::string command = "cd " + Q(dir.path()) + " && { " + environment + " " + c.args +
                                    " </dev/null >out.txt 2>err.txt & pid=$!; "
                                    "for i in $(seq 600); do " + c.ready + " && break; sleep 0.1; done; " +
                                    signals + "; wait $pid; echo $? >status.txt; }";
        ASSERT_EQ(std::system(command.c_str()), 0) << c.name;
        const std::string told = ReadBytes(dir / "err.txt") + ReadBytes(dir / "out.txt");
        EXPECT_EQ(ReadBytes(dir / "status.txt"), "1\n") << c.name << ":\n" << told;
        for (const std::string& words : c.said) EXPECT_NE(told.find(words), std::string::npos) << c.name << " lacks " << words << ":\n" << told;
        EXPECT_EQ(std::filesystem::exists(dir / "out.grd"), c.writesTheSheet) << c.name;
        EXPECT_EQ(ProfilesLeft(dir / "run"), std::vector<std::string>{}) << c.name;
        portal.reset();
        EXPECT_EQ(BrowserProcesses(), std::vector<std::string>{}) << c.name;
    }
}

// On a terminal the silent steps before the first year are told as they start.
TEST_F(BatchEndToEnd, OnATerminalTheBrowserStartAndTheLoginAreToldBeforeTheFirstYear) {
    Start();
    TempDir dir;
    std::filesystem::create_directories(dir / "Tables");
    std::filesystem::permissions(dir / "Tables", std::filesystem::perms::owner_all);
    SaveGridToFile(grid, dir / "in.grd");
    // script(1) gives the command a pseudo-terminal and copies all it writes to the file.
    const std::string inner = "env SKARTINA_PASSWORD=demo1234 " + ShellEnvironment(portal->simulator) + SKARTINA_CLI +
                              " retrieve-all in.grd out.grd --afm " + kSampleTaxNumber + " --user demo --years 2015-2016";
    const std::string command = "cd " + Q(dir.path()) + " && script -qfec \"" + inner + "\" terminal.txt </dev/null >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadBytes(dir / "terminal.txt");
    std::vector<std::string> lines;
    std::istringstream terminal(ReadBytes(dir / "terminal.txt"));
    for (std::string line; std::getline(terminal, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    const auto at = [&](const std::string& start) {
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i].starts_with(start)) return static_cast<int>(i);
        return -1;
    };
    const int browser = at("εκκίνηση προγράμματος περιήγησης"), login = at("σύνδεση στην Α.Α.Δ.Ε."), year = at("2016 (");
    EXPECT_GE(browser, 0) << ReadBytes(dir / "terminal.txt");
    EXPECT_GT(login, browser) << ReadBytes(dir / "terminal.txt");
    EXPECT_GT(year, login) << ReadBytes(dir / "terminal.txt");
    EXPECT_NE(at("Άντληση 2 ετών: 2 αντλήθηκαν"), -1) << ReadBytes(dir / "terminal.txt");
}

}  // namespace
}  // namespace skartina::test
