// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/AnalysisFile.h"
#include "sheet/BalanceSeries.h"
#include "sheet/Coverage.h"
#include "sheet/Recalculate.h"
#include "sheet/SheetRows.h"
#include "support/CliRunner.h"
#include "support/TestSupport.h"
#include "support/SheetGridForms.h"

#include <gtest/gtest.h>

#include <optional>

namespace skartina {
namespace {

using test::Cli;
using test::CliRun;
using test::Q;
using test::TempDir;

std::filesystem::path Fixture(const std::string& name) { return std::filesystem::path(SKARTINA_FIXTURES) / "sheets" / name; }

SheetGrid LoadFixture(const std::string& name) {
    SheetGrid grid;
    if (!LoadGridFromFile(Fixture(name), grid)) ADD_FAILURE() << name;
    return grid;
}

const std::string kAllOf2015 = "Μετρούν τα έτη 2015 έως 2020 του φύλλου.";

struct CoverageCase {
    const char* sheet;
    std::int64_t amount;  // cents
    std::optional<Person> person;
    std::vector<std::string> lines;
    int emptiedYear = 0;  // a year whose figures the case removes first
};

TEST(Coverage, SentencesOverTheFixtureSheets) {
    const CoverageCase cases[] = {
        {"single.grd", 2500000, {},
         {"Υπόχρεος: το τελικό διαθέσιμο υπόλοιπο του 2020 (37.500,00) καλύπτει τη δαπάνη των 25.000,00· απομένουν 12.500,00.",
          kAllOf2015}},
        // Exactly the balance is covered, with nothing left.
        {"single.grd", 3750000, {},
         {"Υπόχρεος: το τελικό διαθέσιμο υπόλοιπο του 2020 (37.500,00) καλύπτει τη δαπάνη των 37.500,00· απομένουν 0,00.",
          kAllOf2015}},
        {"single.grd", 3750001, {},
         {"Υπόχρεος: το τελικό διαθέσιμο υπόλοιπο του 2020 (37.500,00) δεν καλύπτει τη δαπάνη των 37.500,01· λείπουν 0,01.",
          kAllOf2015}},
        // A spouse asked for on an unmarried sheet has nothing of their own.
        {"single.grd", 2500000, Person::Spouse,
         {"Σύζυγος: το τελικό διαθέσιμο υπόλοιπο του 2020 (0,00) δεν καλύπτει τη δαπάνη των 25.000,00· λείπουν 25.000,00.",
          kAllOf2015}},
        // Married: each person on their own.
        {"married.grd", 2500000, {},
         {"Υπόχρεος: το τελικό διαθέσιμο υπόλοιπο του 2020 (75.000,00) καλύπτει τη δαπάνη των 25.000,00· απομένουν 50.000,00.",
          "Σύζυγος: το τελικό διαθέσιμο υπόλοιπο του 2020 (12.000,00) δεν καλύπτει τη δαπάνη των 25.000,00· λείπουν 13.000,00.",
          kAllOf2015}},
        // Together they would hold 87.000,00; neither covers 80.000,00 alone.
        {"married.grd", 8000000, {},
         {"Υπόχρεος: το τελικό διαθέσιμο υπόλοιπο του 2020 (75.000,00) δεν καλύπτει τη δαπάνη των 80.000,00· λείπουν 5.000,00.",
          "Σύζυγος: το τελικό διαθέσιμο υπόλοιπο του 2020 (12.000,00) δεν καλύπτει τη δαπάνη των 80.000,00· λείπουν 68.000,00.",
          kAllOf2015}},
        {"married.grd", 1000000, Person::Spouse,
         {"Σύζυγος: το τελικό διαθέσιμο υπόλοιπο του 2020 (12.000,00) καλύπτει τη δαπάνη των 10.000,00· απομένουν 2.000,00.",
          kAllOf2015}},
        {"missing-years.grd", 2500000, {},
         {"Υπόχρεος: το τελικό διαθέσιμο υπόλοιπο του 2020 (41.900,00) καλύπτει τη δαπάνη των 25.000,00· απομένουν 16.900,00.",
          "Μετρούν τα έτη 2003 έως 2020 του φύλλου.",
          "Τα έτη 2003 έως 2015 και 2017 δεν έχουν ποσά στο φύλλο (δεν αντλήθηκαν ούτε συμπληρώθηκαν): τα εισοδήματα και οι "
          "δαπάνες τους μετρούν ως μηδέν, μόνο το ελάχιστο ποσό διαβίωσης μετρά."}},
        // One year emptied: it adds nothing to the final balance, and is named.
        {"single.grd", 2500000, {},
         {"Υπόχρεος: το τελικό διαθέσιμο υπόλοιπο του 2020 (30.000,00) καλύπτει τη δαπάνη των 25.000,00· απομένουν 5.000,00.",
          kAllOf2015,
          "Το έτος 2017 δεν έχει ποσά στο φύλλο (δεν αντλήθηκε ούτε συμπληρώθηκε): τα εισοδήματα και οι δαπάνες του "
          "μετρούν ως μηδέν, μόνο το ελάχιστο ποσό διαβίωσης μετρά."},
         2017},
        // A negative final balance: the deficit is missing besides the expense.
        {"negative.grd", 2500000, {},
         {"Υπόχρεος: το τελικό διαθέσιμο υπόλοιπο του 2020 (-4.800,00) δεν καλύπτει τη δαπάνη των 25.000,00· λείπουν 29.800,00.",
          "Μετρούν τα έτη 2010 έως 2020 του φύλλου."}},
    };
    for (const CoverageCase& c : cases) {
        SCOPED_TRACE(std::string(c.sheet) + " " + std::to_string(c.amount));
        SheetGrid grid = LoadFixture(c.sheet);
        if (c.emptiedYear) {
            for (int column : {TaxpayerColumnOf(c.emptiedYear), SpouseColumnOf(c.emptiedYear)})
                for (int row = Row::TaxedIncome; row <= Row::BankTransfers; ++row) grid.setCell(column, row, "");
            RecalculateSheet(grid);
        }
        EXPECT_EQ(CoverExpense(ReadBalanceSeries(grid), c.amount, c.person).lines(), c.lines);
    }
}

TEST(Coverage, TheSeriesHoldsTheBalanceRowsInCentsOldestFirst) {
    const BalanceSeries married = ReadBalanceSeries(LoadFixture("married.grd"));
    ASSERT_EQ(married.years.size(), 6u);
    EXPECT_TRUE(married.hasSpouse);
    EXPECT_EQ(married.years.front().year, 2015);
    EXPECT_EQ(married.years.back().year, 2020);
    const YearBalance& y2017 = married.years[2];
    EXPECT_EQ(y2017.year, 2017);
    EXPECT_EQ(y2017.spouse.available, -550000);
    EXPECT_EQ(y2017.spouse.final, 150000);
    EXPECT_EQ(y2017.taxpayer.final, 3750000);
    EXPECT_TRUE(y2017.hasFigures);
    EXPECT_FALSE(ReadBalanceSeries(LoadFixture("single.grd")).hasSpouse);

    // A spouse figure without a married mark is a spouse to speak of.
    SheetGrid single = LoadFixture("single.grd");
    single.setCell(SpouseColumnOf(2016), Row::TaxedIncome, "1.000,00");
    RecalculateSheet(single);
    EXPECT_TRUE(ReadBalanceSeries(single).hasSpouse);

    // A balance cell that is not an amount is named, never read as 0.
    single.setCell(TaxpayerColumnOf(2018), Row::FinalBalance, "πολλά");
    try {
        ReadBalanceSeries(single);
        ADD_FAILURE() << "no error";
    } catch (const SheetError& e) {
        EXPECT_EQ(e.column(), TaxpayerColumnOf(2018));
        EXPECT_NE(std::string(e.what()).find("«πολλά»"), std::string::npos) << e.what();
    }
}

TEST(Coverage, CliCoverAnswersAsBuilt) {
    TempDir dir;
    const CliRun married = Cli(dir, "cover " + Q(Fixture("married.grd")) + " --amount 25.000");
    EXPECT_EQ(married.status, 0) << married.err;
    EXPECT_EQ(married.out,
              "Υπόχρεος: το τελικό διαθέσιμο υπόλοιπο του 2020 (75.000,00) καλύπτει τη δαπάνη των 25.000,00· απομένουν 50.000,00.\n"
              "Σύζυγος: το τελικό διαθέσιμο υπόλοιπο του 2020 (12.000,00) δεν καλύπτει τη δαπάνη των 25.000,00· λείπουν 13.000,00.\n"
              "Μετρούν τα έτη 2015 έως 2020 του φύλλου.\n");
    EXPECT_EQ(married.err, "");

    // An amount as a person types it, and one person alone.
    const CliRun spouse = Cli(dir, "cover " + Q(Fixture("married.grd")) + " --amount 12000.5 --person spouse");
    EXPECT_EQ(spouse.status, 0) << spouse.err;
    EXPECT_EQ(spouse.out,
              "Σύζυγος: το τελικό διαθέσιμο υπόλοιπο του 2020 (12.000,00) δεν καλύπτει τη δαπάνη των 12.000,50· λείπουν 0,50.\n"
              "Μετρούν τα έτη 2015 έως 2020 του φύλλου.\n");
    const CliRun taxpayer = Cli(dir, "cover " + Q(Fixture("negative.grd")) + " --person taxpayer --amount 1,00");
    EXPECT_EQ(taxpayer.out.substr(0, taxpayer.out.find('\n')),
              "Υπόχρεος: το τελικό διαθέσιμο υπόλοιπο του 2020 (-4.800,00) δεν καλύπτει τη δαπάνη των 1,00· λείπουν 4.801,00.");

    // Bad usage: exit 2, the reason named, nothing on standard output.
    for (const std::string args : {"", "--amount 100", " --amount", " --amount 0", " --amount -5", " --amount 25000,505",
                                   " --amount πολλά", " --amount 100 --person both", " --amount 100 --chart"}) {
        const std::string line = args.rfind("--amount 100", 0) == 0 ? "cover " + args : "cover " + Q(Fixture("single.grd")) + args;
        const CliRun run = Cli(dir, line);
        EXPECT_EQ(run.status, 2) << line << "\n" << run.err;
        EXPECT_EQ(run.out, "") << line;
        EXPECT_EQ(run.err.rfind("skartina-cli cover: ", 0), 0u) << line << "\n" << run.err;
    }
    // A file that is not there, or not a sheet: exit 1.
    EXPECT_EQ(Cli(dir, "cover " + Q(dir / "none.grd") + " --amount 100").status, 1);
    test::WriteBytes(dir / "junk.grd", "hello\r\n");
    EXPECT_EQ(Cli(dir, "cover " + Q(dir / "junk.grd") + " --amount 100").status, 1);
}

}  // namespace
}  // namespace skartina
