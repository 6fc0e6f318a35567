// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/TextFile.h"
#include "sheet/SheetGrid.h"
#include "sheet/SheetRows.h"
#include "support/CliRunner.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>

namespace skartina {
namespace {

using test::Cli;
using test::CliRun;
using test::Q;
using test::TempDir;

const std::filesystem::path kFixtures = SKARTINA_FIXTURES;

std::string Cell(const std::filesystem::path& grd, int column, int row) {
    return ReadCp1253Lines(grd).at(2 + static_cast<size_t>(column) * kSheetRows + static_cast<size_t>(row));
}

TEST(E1Cli, YearFillsTheSheetFromACodeList) {
    TempDir dir;
    ASSERT_EQ(Cli(dir, "new " + Q(dir / "a.grd")).status, 0);
    test::WriteBytes(dir / "codes.txt", "# 2015 return\n301 12000.5\n\n302\t800\n719 7000\n");
    const CliRun run = Cli(dir, "year 2015 " + Q(dir / "codes.txt") + " " + Q(dir / "a.grd") + " " + Q(dir / "b.grd"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Cell(dir / "b.grd", TaxpayerColumnOf(2015), Row::TaxedIncome), "12.000,50");
    EXPECT_EQ(Cell(dir / "b.grd", SpouseColumnOf(2015), Row::TaxedIncome), "800,00");
    EXPECT_EQ(Cell(dir / "b.grd", TaxpayerColumnOf(2015), Row::VehiclePurchase), "7.000,00");
    EXPECT_EQ(Cell(dir / "b.grd", TaxpayerColumnOf(2015), Row::ExpenseTotal), "10.000,00");  // recalculated
}

TEST(E1Cli, BadCodeListsAndMissingYearsAreErrors) {
    TempDir dir;
    ASSERT_EQ(Cli(dir, "new " + Q(dir / "a.grd") + " --first-year 2010").status, 0);
    for (const char* bad : {"301 12,5\n", "301\n", "1001 5\n", "-1 5\n", "301 5 6\n", "301 nan\n", "x 5\n"}) {
        test::WriteBytes(dir / "codes.txt", std::string("# fine\n301 1\n") + bad);
        const CliRun run =
            Cli(dir, "year 2015 " + Q(dir / "codes.txt") + " " + Q(dir / "a.grd") + " " + Q(dir / "b.grd"));
        EXPECT_EQ(run.status, 1) << bad;
        EXPECT_NE(run.err.find("γραμμή 3"), std::string::npos) << run.err;
    }
    test::WriteBytes(dir / "codes.txt", "301 1\n");
    const CliRun outside =
        Cli(dir, "year 2005 " + Q(dir / "codes.txt") + " " + Q(dir / "a.grd") + " " + Q(dir / "b.grd"));
    EXPECT_EQ(outside.status, 1);
    EXPECT_NE(outside.err.find("2005"), std::string::npos) << outside.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "b.grd"));
    EXPECT_EQ(Cli(dir, "year 2030 " + Q(dir / "codes.txt") + " " + Q(dir / "a.grd") + " " + Q(dir / "b.grd")).status, 2);
}

// A code list's bad line is quoted with its control bytes escaped, as the lists print them.
TEST(E1Cli, ABadLineIsQuotedWithoutItsControlBytes) {
    TempDir dir;
    ASSERT_EQ(Cli(dir, "new " + Q(dir / "a.grd")).status, 0);
    test::WriteBytes(dir / "codes.txt", "301 1\n301 \x1b[2J\x07 5\n");
    const CliRun run = Cli(dir, "year 2015 " + Q(dir / "codes.txt") + " " + Q(dir / "a.grd") + " " + Q(dir / "b.grd"));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("\\x1b[2J\\x07"), std::string::npos) << run.err;
    for (char control : {'\x1b', '\x07'}) EXPECT_EQ(run.err.find(control), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
}

// A damaged report is the program's one Greek line; poppler's own words go to the log.
TEST(E1Cli, PopplersWordsOnACutReportGoToTheLogNotTheTerminal) {
    TempDir dir;
    const std::string command = "XDG_STATE_HOME=" + Q(dir / "state") + " " + SKARTINA_CLI + " report 2015 " +
                                Q(kFixtures / "fuzz-corpus" / "report-pdf" / "report-cut.pdf") + " >/dev/null 2>" +
                                Q(dir / "err.txt");
    EXPECT_NE(std::system(command.c_str()), 0);
    const std::string err = test::ReadBytes(dir / "err.txt");
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_EQ(err.rfind("skartina-cli report: Η αναφορά", 0), 0u) << err;
    const std::string log = test::ReadBytes(dir / "state" / "skartina" / "skartina.log");
    EXPECT_NE(log.find(" poppler: "), std::string::npos) << log;
    struct stat info {};
    ASSERT_EQ(stat((dir / "state" / "skartina" / "skartina.log").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(E1Cli, ReportPrintsTheEntriesOfAPdfOrText) {
    TempDir dir;
    const CliRun pdf = Cli(dir, "report 2015 " + Q(kFixtures / "report-2015.pdf"));
    ASSERT_EQ(pdf.status, 0) << pdf.err;
    EXPECT_EQ(pdf.out.substr(0, 25), "101 2400\n213 50\n301 18250");
    EXPECT_NE(pdf.out.find("\n515 350.5\n"), std::string::npos) << pdf.out;
    EXPECT_EQ(Cli(dir, "report 2015 " + Q(kFixtures / "report-2015.txt")).out, pdf.out);

    test::WriteBytes(dir / "broken.pdf", "%PDF-1.4 nothing more");
    EXPECT_EQ(Cli(dir, "report 2015 " + Q(dir / "broken.pdf")).status, 1);
    EXPECT_EQ(Cli(dir, "report 2015 " + Q(dir / "missing.pdf")).status, 1);
}

// A report that gives nothing, or another year's figures, never reaches a sheet.
TEST(E1Cli, AnEmptyUnreadableOrOtherYearsReportIsRefused) {
    TempDir dir;
    ASSERT_EQ(Cli(dir, "new " + Q(dir / "a.grd")).status, 0);
    test::WriteBytes(dir / "empty.txt", "");
    test::WriteBytes(dir / "junk.txt", "\x01\x02\x03 nothing a report holds");
    test::WriteBytes(dir / "no-entries.txt", "ΕΚΚΑΘΑΡΙΣΤΙΚΟ ΣΗΜΕΙΩΜΑ ΟΙΚΟΝΟΜΙΚΟΥ ΕΤΟΥΣ 2015\nΑ.Φ.Μ. 123456783\n");
    const struct {
        std::string year;
        std::filesystem::path report;
        const char* told;
    } cases[] = {
        {"2015", dir / "empty.txt", "οικονομικό έτος"},
        {"2015", dir / "junk.txt", "οικονομικό έτος"},
        {"2015", dir / "no-entries.txt", "κανένα ποσό"},
        {"2014", kFixtures / "report-2015.txt", "είναι του έτους 2015, όχι του 2014"},
        {"2010", kFixtures / "report-2015.pdf", "είναι του έτους 2015, όχι του 2010"},
    };
    for (const auto& c : cases) {
        const CliRun printed = Cli(dir, "report " + c.year + " " + Q(c.report));
        EXPECT_EQ(printed.status, 1) << c.report;
        EXPECT_EQ(printed.out, "") << c.report;
        EXPECT_NE(printed.err.find(c.told), std::string::npos) << printed.err;
        const CliRun imported =
            Cli(dir, "import-report " + c.year + " " + Q(c.report) + " " + Q(dir / "a.grd") + " " + Q(dir / "b.grd"));
        EXPECT_EQ(imported.status, 1) << c.report;
        EXPECT_NE(imported.err.find(c.told), std::string::npos) << imported.err;
        EXPECT_FALSE(std::filesystem::exists(dir / "b.grd")) << c.report;
    }
}

TEST(E1Cli, ImportReportFillsAYearFromASavedReport) {
    TempDir dir;
    ASSERT_EQ(Cli(dir, "new " + Q(dir / "a.grd")).status, 0);
    const CliRun run = Cli(dir, "import-report 2015 " + Q(kFixtures / "report-2015.pdf") + " " + Q(dir / "a.grd") +
                                    " " + Q(dir / "b.grd"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Cell(dir / "b.grd", TaxpayerColumnOf(2015), Row::CarPresumption), "2.300,00");
    EXPECT_EQ(Cell(dir / "b.grd", SpouseColumnOf(2015), Row::DeclaredCapitalConsumption), "1.500,00");
    EXPECT_EQ(Cell(dir / "b.grd", TaxpayerColumnOf(2015), Row::VehiclePurchase), "12.000,00");
}

}  // namespace
}  // namespace skartina
