// SPDX-License-Identifier: GPL-3.0-or-later
// The office run's own logic against a portal that answers at once: the
// journal, the resume, the history, the report and the progress.

#include "common/TextFile.h"
#include "portal/OfficeJournal.h"
#include "portal/OfficeReport.h"
#include "portal/OfficeRetrieval.h"
#include "portal/OfficeSelection.h"
#include "portal/YearSources.h"
#include "registry/TaxpayerRecord.h"
#include "sheet/AnalysisFile.h"
#include "sheet/AnalysisHistory.h"
#include "sheet/SheetLayout.h"
#include "sheet/SheetRows.h"
#include "support/TestSupport.h"
#include "support/SheetGridForms.h"

#include <gtest/gtest.h>

#include <set>

namespace skartina {
namespace {

using test::FolderNames;
using test::ReadBytes;
using test::TempDir;

// A portal that fills each year at once with an amount made of the client and
// the year; refuses the clients it is told to; fails the accountant's login
// when told to; and stops (as a cancel) after a given number of years.
class QuickPortal : public OfficePortal {
public:
    std::set<std::string> refused;
    bool loginRefused = false;
    int yearsRead = 0;
    int logins = 0;
    int logouts = 0;
    std::vector<std::string> asked;  // the clients, in the order asked
    std::vector<OfficeClientRequest> requests;

    OfficeClientYears ClientYears(const OfficeClientRequest& request, Sheet& sheet, OfficeYearsView& view) override {
        asked.push_back(request.taxNumber);
        requests.push_back(request);
        OfficeClientYears out;
        if (loginRefused) {
            for (int year : request.years) out.years.push_back({year, OfficeYearEnd::Failed, "λάθος κωδικός"});
            out.stopReason = "λάθος κωδικός";
            return out;
        }
        if (request.user.empty() && logins == 0) ++logins;
        if (refused.count(request.taxNumber)) {
            for (int year : request.years) out.years.push_back({year, OfficeYearEnd::Failed, "δεν έγινε δεκτός"});
            return out;
        }
        for (int year : request.years) {
            if (view.CancelRequested()) {
                out.cancelled = true;
                out.years.push_back({year, OfficeYearEnd::NotReached, "η άντληση ακυρώθηκε"});
                continue;
            }
            view.YearStarted(year);
            // Written as a file would hold it, without thousands points.
            const std::string text = request.taxNumber.substr(0, 3) + std::to_string(year) + ",00";
            sheet.setCell(TaxpayerColumnOf(year), Row::TaxedIncome, {ReadAmount(text), text});
            ++yearsRead;
            view.YearFilled(year);
            out.years.push_back({year, year == 2010 ? OfficeYearEnd::NoReturn : OfficeYearEnd::Read, ""});
        }
        return out;
    }
    void LogOutAndClose() override { ++logouts; }
};

class Watch : public OfficeView {
public:
    std::vector<OfficeProgress> progress;
    std::vector<std::string> ended;
    int cancelAt = -1;  // progress reports before the cancel
    void Progress(const OfficeProgress& p) override { progress.push_back(p); }
    void ClientEnded(const OfficeClient& c) override { ended.push_back(c.taxNumber); }
    bool CancelRequested() override { return cancelAt >= 0 && static_cast<int>(progress.size()) >= cancelAt; }
};

const std::vector<std::string> kTaxNumbers = {"123456783", "090909091", "111111114"};

OfficeJournal Plan(bool accountant = true, std::vector<int> years = {2012, 2011, 2010}) {
    return {{"20240315-221530", kTaxNumbers, std::move(years), accountant, accountant ? "logistis" : ""}, {}};
}

void Register(const std::filesystem::path& tables) {
    std::filesystem::create_directories(tables);
    WriteTaxpayerRecord(RecordFilePath(tables, "123456783"), {"123456783", "ΠΑΠΑΣ", "Γιώργος", "", "papas", "pw1"});
    WriteTaxpayerRecord(RecordFilePath(tables, "090909091"), {"090909091", "ΑΛΦΑ Α.Ε.", "", "", "", ""});
}

// Every file under the folder with its bytes, the history's by order of time.
std::map<std::string, std::string> Files(const std::filesystem::path& tables) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(tables)) {
        if (!entry.is_regular_file()) continue;
        std::string name = std::filesystem::relative(entry.path(), tables).string();
        if (name.rfind("retrieval-", 0) == 0) continue;
        files[name] = ReadBytes(entry.path());
    }
    return files;
}

TEST(OfficeRun, EveryClientFetchedSavedAndReported) {
    TempDir dir;
    const auto tables = dir / "Tables";
    Register(tables);
    QuickPortal portal;
    portal.refused = {"090909091"};
    Watch watch;
    const OfficeResult result = RunOffice(portal, Plan(), tables, watch);

    EXPECT_EQ(portal.asked, kTaxNumbers);
    EXPECT_EQ(portal.logouts, 1);
    EXPECT_TRUE(result.finished);
    EXPECT_FALSE(result.cancelled);
    EXPECT_TRUE(result.AnyNotRead());  // the refused client
    EXPECT_FALSE(std::filesystem::exists(OfficeJournalPath(tables)));
    EXPECT_EQ(watch.ended, kTaxNumbers);

    // New sheets made, years filled and recalculated; none for the refused client.
    SheetGrid grid;
    ASSERT_TRUE(LoadGridFromFile(AnalysisFilePath(tables, "123456783", "2021"), grid));
    EXPECT_EQ(grid.columnCount(), 37);
    EXPECT_EQ(grid.cell(TaxpayerColumnOf(2011), Row::TaxedIncome), "1232011,00");
    EXPECT_FALSE(grid.cell(TaxpayerColumnOf(2011), Row::IncomeTotal).empty());
    EXPECT_FALSE(std::filesystem::exists(AnalysisFilePath(tables, "090909091", "2021")));

    EXPECT_EQ(result.report, tables / "retrieval-2024-03-15-221530.csv");
    const std::vector<std::string> lines = Cp1253Lines(ReadBytes(result.report), "report");
    ASSERT_EQ(lines.size(), 1u + 3 * 3);
    EXPECT_EQ(lines[0], "Α.Φ.Μ.;Ονοματεπώνυμο;Έτος;Αποτέλεσμα;Αιτία");
    EXPECT_EQ(lines[1], "123456783;ΠΑΠΑΣ Γιώργος;2012;αντλήθηκε;");
    EXPECT_EQ(lines[3], "123456783;ΠΑΠΑΣ Γιώργος;2010;χωρίς δήλωση στην Α.Α.Δ.Ε.;");
    EXPECT_EQ(lines[4], "090909091;ΑΛΦΑ Α.Ε.;2012;απέτυχε;δεν έγινε δεκτός");
    EXPECT_EQ(lines[7], "111111114;;2012;αντλήθηκε;");

    const auto summary = OfficeSummaryLines(result.clients, result.cancelled);
    EXPECT_EQ(summary[0], "Άντληση 3 πελατών: 4 έτη αντλήθηκαν, 2 χωρίς δήλωση, 3 απέτυχαν, 0 δεν αντλήθηκαν.");
    EXPECT_EQ(summary[2], "090909091 ΑΛΦΑ Α.Ε.: 0 αντλήθηκαν, 0 χωρίς δήλωση, 3 απέτυχαν, 0 δεν αντλήθηκαν (δεν έγινε δεκτός).");

    // Progress: client N of M with the year, and an estimate once a year has ended.
    ASSERT_EQ(watch.progress.size(), 6u);
    EXPECT_EQ(watch.progress[0].client, 1);
    EXPECT_EQ(watch.progress[0].clients, 3);
    EXPECT_EQ(watch.progress[0].name, "ΠΑΠΑΣ Γιώργος");
    EXPECT_EQ(watch.progress[0].year, 2012);
    EXPECT_FALSE(watch.progress[0].remainingMs.has_value());
    EXPECT_TRUE(watch.progress[1].remainingMs.has_value());
    EXPECT_EQ(watch.progress[5].client, 3);
}

// Imported names and a portal's reasons are free text: one that a spreadsheet
// would run as a formula is written as text, in the file as it is stored.
TEST(OfficeReport, TextsThatWouldRunAsFormulasAreWrittenAsText) {
    const std::vector<OfficeClient> clients = {
        {"123456783", "=HYPERLINK(\"http://x\";\"y\")", {{2012, OfficeYearEnd::Failed, "@SUM(A1)"}}},
        {"090909091", "+ΠΑΠΑΣ", {{2012, OfficeYearEnd::Failed, "-ΑΡΝΗΣΗ"}}},
        {"111111114", "\tΚΡΥΦΟ", {{2012, OfficeYearEnd::Read, ""}}},
        {"222222225", "ΑΛΦΑ-ΒΗΤΑ", {{2012, OfficeYearEnd::Failed, "σελίδα 1=2"}}},
    };
    TempDir dir;
    WriteOfficeReport(dir / "report.csv", clients);
    const std::vector<std::string> lines = Cp1253Lines(ReadBytes(dir / "report.csv"), "report");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1], "123456783;\"'=HYPERLINK(\"\"http://x\"\";\"\"y\"\")\";2012;απέτυχε;'@SUM(A1)");
    EXPECT_EQ(lines[2], "090909091;'+ΠΑΠΑΣ;2012;απέτυχε;'-ΑΡΝΗΣΗ");
    EXPECT_EQ(lines[3], "111111114;'\tΚΡΥΦΟ;2012;αντλήθηκε;");
    EXPECT_EQ(lines[4], "222222225;ΑΛΦΑ-ΒΗΤΑ;2012;απέτυχε;σελίδα 1=2");
}

TEST(OfficeRun, OwnCredentialsComeFromTheRecordAndAClientWithoutThemIsReported) {
    TempDir dir;
    const auto tables = dir / "Tables";
    Register(tables);
    QuickPortal portal;
    Watch watch;
    const OfficeResult result = RunOffice(portal, Plan(false), tables, watch);
    ASSERT_EQ(portal.requests.size(), 1u);  // only the client with credentials reaches the portal
    EXPECT_EQ(portal.requests[0].user, "papas");
    EXPECT_EQ(portal.requests[0].password, "pw1");
    EXPECT_EQ(portal.requests[0].sourcesFolder, SourcesFolder(tables, "123456783"));
    for (size_t i : {1u, 2u}) {
        ASSERT_EQ(result.clients[i].years.size(), 3u);
        EXPECT_EQ(result.clients[i].years[0].end, OfficeYearEnd::Failed);
        EXPECT_EQ(result.clients[i].years[0].reason, "ο πελάτης δεν έχει στοιχεία εισόδου στο μητρώο");
    }
    EXPECT_TRUE(result.finished);
}

TEST(OfficeRun, ARefusedLoginStopsTheRunAndLeavesItToResume) {
    TempDir dir;
    const auto tables = dir / "Tables";
    Register(tables);
    QuickPortal portal;
    portal.loginRefused = true;
    Watch watch;
    const OfficeResult result = RunOffice(portal, Plan(), tables, watch);
    EXPECT_EQ(portal.asked.size(), 1u);
    EXPECT_FALSE(result.finished);
    for (const OfficeClient& client : result.clients)
        for (const OfficeYear& year : client.years) EXPECT_EQ(year.reason, "λάθος κωδικός");
    const auto journal = ReadOfficeJournal(tables);
    ASSERT_TRUE(journal);
    EXPECT_TRUE(journal->finished.empty());
}

// A run stopped after each possible number of years, then resumed, ends with
// the files of a run never stopped; the resumed run asks only for the clients
// not finished.
TEST(OfficeRun, StoppedAnywhereAndResumedEndsWithTheSameFiles) {
    TempDir whole;
    Register(whole / "Tables");
    QuickPortal once;
    Watch quiet;
    const OfficeResult uninterrupted = RunOffice(once, Plan(), whole / "Tables", quiet);
    const auto expected = Files(whole / "Tables");

    for (int stopAfter = 0; stopAfter <= 9; ++stopAfter) {
        TempDir dir;
        const auto tables = dir / "Tables";
        Register(tables);
        QuickPortal first;
        Watch cancelling;
        cancelling.cancelAt = stopAfter;
        const OfficeResult stopped = RunOffice(first, Plan(), tables, cancelling);
        EXPECT_EQ(stopped.cancelled, stopAfter < 9) << stopAfter;

        if (const auto journal = ReadOfficeJournal(tables)) {
            const size_t finished = journal->finished.size();
            QuickPortal second;
            Watch resumed;
            const OfficeResult rest = RunOffice(second, *journal, tables, resumed);
            EXPECT_TRUE(rest.finished) << stopAfter;
            EXPECT_EQ(second.asked.size(), kTaxNumbers.size() - finished) << stopAfter;
            if (!resumed.progress.empty()) {
                EXPECT_EQ(resumed.progress[0].client, static_cast<int>(finished) + 1);
            }
            EXPECT_EQ(rest.clients, uninterrupted.clients) << stopAfter;
            EXPECT_EQ(ReadBytes(rest.report), ReadBytes(uninterrupted.report)) << stopAfter;
        }
        EXPECT_EQ(Files(tables), expected) << "stopped after " << stopAfter << " years";
        EXPECT_FALSE(std::filesystem::exists(OfficeJournalPath(tables)));
    }
}

TEST(OfficeRun, AReplacedSheetIsKeptInTheHistoryAndAYearTheSheetLacksIsNotAsked) {
    TempDir dir;
    const auto tables = dir / "Tables";
    Register(tables);
    // An existing sheet of 2012 to 2020 with an amount typed by hand.
    YearSelection years;
    for (int y = kOldestBoxYear; y < 2012; ++y) years.setTicked(y, false);
    SheetGrid grid;
    BuildSheetLayout(grid, years);
    grid.setCell(TaxpayerColumnOf(2015), Row::OtherIncome, "5,00");
    const auto file = AnalysisFilePath(tables, "123456783", "2021");
    SaveGridToFile(grid, file);
    const std::string before = ReadBytes(file);

    QuickPortal portal;
    Watch watch;
    const OfficeResult result = RunOffice(portal, Plan(), tables, watch);
    EXPECT_EQ(portal.requests[0].years, std::vector<int>{2012});
    EXPECT_EQ(result.clients[0].years[1].end, OfficeYearEnd::NotReached);
    EXPECT_EQ(result.clients[0].years[1].reason, "το φύλλο του πελάτη δεν έχει το έτος");

    const auto versions = KeptVersions(tables, "123456783");
    ASSERT_EQ(versions.size(), 1u);
    EXPECT_EQ(ReadBytes(versions[0]), before);
    SheetGrid after;
    ASSERT_TRUE(LoadGridFromFile(file, after));
    EXPECT_EQ(after.cell(TaxpayerColumnOf(2015), Row::OtherIncome), "5,00");  // the hand's amount stays
    EXPECT_EQ(after.cell(TaxpayerColumnOf(2012), Row::TaxedIncome), "1232012,00");
}

TEST(OfficeRun, JournalReadsBackAndADamagedOneIsRefused) {
    TempDir dir;
    OfficeJournal journal = Plan();
    journal.finished.push_back({"123456783", "ΠΑΠΑΣ Γιώργος",
                                {{2012, OfficeYearEnd::Read, ""}, {2011, OfficeYearEnd::Failed, "αιτία\tμε στηλοθέτη"},
                                 {2010, OfficeYearEnd::NotReached, ""}}});
    WriteOfficeJournal(dir.path(), journal);
    const auto back = ReadOfficeJournal(dir.path());
    ASSERT_TRUE(back);
    journal.finished[0].years[1].reason = "αιτία με στηλοθέτη";
    EXPECT_EQ(*back, journal);

    for (const std::string bad : {"something else\n", "skartina office journal 1\nyears\tx\nclients\t1\n",
                                  "skartina office journal 1\nstarted\t1\n"}) {
        test::WriteBytes(OfficeJournalPath(dir.path()), bad);
        EXPECT_THROW(ReadOfficeJournal(dir.path()), FileError) << bad;
    }
}

TEST(OfficeSelection, ClientsWhoseSheetLacksAYear) {
    TempDir dir;
    const auto tables = dir / "Tables";
    Register(tables);
    WriteTaxpayerRecord(RecordFilePath(tables, "111111114"), {"111111114", "ΒΗΤΑ", "", "", "", ""});
    QuickPortal portal;
    Watch watch;
    // 090909091 gets its years; 123456783 a sheet with 2011 emptied; 111111114 none.
    RunOffice(portal, {{"1", {"090909091", "123456783"}, {2012, 2011}, true, "l"}, {}}, tables, watch);
    SheetGrid grid;
    LoadGridFromFile(AnalysisFilePath(tables, "123456783", "2021"), grid);
    grid.setCell(TaxpayerColumnOf(2011), Row::TaxedIncome, "");
    SaveGridToFile(grid, AnalysisFilePath(tables, "123456783", "2021"));

    EXPECT_EQ(ClientsLackingAYear(tables, {2012, 2011}), (std::vector<std::string>{"111111114", "123456783"}));  // by surname
    // A kept document counts as the year read, even with no amount.
    std::filesystem::create_directories(SourcesFolder(tables, "123456783"));
    test::WriteBytes(SourcesFolder(tables, "123456783") / "2011.txt", "");
    EXPECT_EQ(ClientsLackingAYear(tables, {2012, 2011}), std::vector<std::string>{"111111114"});
    EXPECT_EQ(RegisterClients(tables).front().name, "ΑΛΦΑ Α.Ε.");
}

TEST(OfficeSelection, YearRanges) {
    EXPECT_EQ(OfficeYearRange("2018-2020"), (std::vector<int>{2020, 2019, 2018}));
    EXPECT_EQ(OfficeYearRange("2005"), std::vector<int>{2005});
    for (const char* bad : {"2002-2020", "2020-2018", "2003-2021", "abc", "2003-", ""})
        EXPECT_THROW(OfficeYearRange(bad), std::invalid_argument) << bad;
}

}  // namespace
}  // namespace skartina
