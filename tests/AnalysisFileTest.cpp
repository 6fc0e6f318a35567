// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ClientFiles.h"
#include "common/TextFile.h"
#include "sheet/AnalysisFile.h"
#include "sheet/MarriedMarks.h"
#include "sheet/Recalculate.h"
#include "sheet/SavedAnalysis.h"
#include "sheet/SheetLayout.h"
#include "sheet/SheetRows.h"
#include "support/TestSupport.h"
#include "support/SheetGridForms.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace skartina {
namespace {

using test::ReadBytes;
using test::TempDir;

SheetGrid NewSheet(YearSelection years = {}) {
    SheetGrid grid;
    BuildSheetLayout(grid, years);
    return grid;
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return text;
}

TEST(AnalysisFile, InitialSheetIs1482LinesOfWindows1253) {
    TempDir dir;
    SaveGridToFile(NewSheet(), dir / "123456783_2021.grd");
    const std::vector<std::string> lines = ReadCp1253Lines(dir / "123456783_2021.grd");
    ASSERT_EQ(lines.size(), 1482u);
    EXPECT_EQ(lines[0], "37");
    EXPECT_EQ(lines[1], "40");
    EXPECT_EQ(lines[2], "Οικονομικό Έτος");
    EXPECT_EQ(lines[2 + 40], "_2020_");
    EXPECT_EQ(lines[2 + 41], "Υπόχρεου");
    EXPECT_EQ(lines[2 + 81], "Συζύγου");
    const std::string bytes = ReadBytes(dir / "123456783_2021.grd");
    EXPECT_EQ(bytes.substr(0, 8), "37\r\n40\r\n");
    EXPECT_EQ(bytes.substr(8, 6), "\xCF\xE9\xEA\xEF\xED\xEF");  // "Οικονο" in Windows-1253
}

TEST(AnalysisFile, RoundTripKeepsEveryCellAndTheMarriedMarks) {
    TempDir dir;
    YearSelection years;
    years.setFirstYear(1995);
    for (int y = kOldestBoxYear; y < 2003; ++y) years.setTicked(y, true);
    SheetGrid saved = NewSheet(years);
    ASSERT_EQ(saved.columnCount(), 53);
    ToggleMarriedMark(saved, SpouseColumnOf(2012));
    saved.setCell(TaxpayerColumnOf(2012), Row::TaxedIncome, "12.345,67");
    saved.setCell(SpouseColumnOf(1995), Row::BankTransfers, "-1,00");
    RecalculateSheet(saved);
    SaveGridToFile(saved, dir / "a.grd");

    SheetGrid loaded = NewSheet();
    ASSERT_TRUE(LoadGridFromFile(dir / "a.grd", loaded));
    EXPECT_EQ(loaded, saved);
    EXPECT_EQ(loaded.cell(SpouseColumnOf(2012), 1), "Συζύγου*");
    EXPECT_EQ(loaded.cell(SpouseColumnOf(2012), Row::MinimumLivingAmount), "2.500,00");
}

TEST(AnalysisFile, ReopeningRestoresTheSavedYearsAndTicksThem) {
    TempDir dir;
    SheetGrid grid = NewSheet();
    YearSelection years;
    grid.setCell(TaxpayerColumnOf(2003), Row::TaxedIncome, "1,00");
    SaveGridToFile(grid, dir / "a.grd");
    ASSERT_TRUE(UntickYear(grid, years, 2010, nullptr));
    ASSERT_EQ(grid.columnCount(), 21);

    ASSERT_TRUE(LoadGridFromFile(dir / "a.grd", grid));
    AlignYearBoxesToSheet(grid, years);
    RecalculateSheet(grid);
    EXPECT_EQ(grid.columnCount(), 37);
    EXPECT_EQ(grid.cell(TaxpayerColumnOf(2003), Row::TaxedIncome), "1,00");
    for (int y = 2003; y <= 2020; ++y) EXPECT_TRUE(years.isTicked(y)) << y;
    EXPECT_FALSE(years.isTicked(2002));
}

TEST(AnalysisFile, StoredRowsBelowTheSheetsAreEmptyAndMoreEnlargeIt) {
    const SheetGrid grid = GridFromLines({"3", "2", "Οικονομικό Έτος", " ", "_2020_", "Υπόχρεου", "", "Συζύγου*"});
    EXPECT_EQ(grid.columnCount(), 3);
    EXPECT_EQ(grid.rowCount(), 40);
    EXPECT_EQ(grid.cell(1, 0), "_2020_");
    EXPECT_EQ(grid.cell(1, 1), "Υπόχρεου");
    EXPECT_EQ(grid.cell(1, 2), "");  // beyond the stored rows
    EXPECT_EQ(grid.cell(2, 1), "Συζύγου*");
    // A larger stored row count enlarges the sheet; it is never shrunk.
    std::vector<std::string> tall(2 + 3 * 42);
    tall[0] = "3";
    tall[1] = "42";
    EXPECT_EQ(GridFromLines(tall).rowCount(), 42);
}

TEST(AnalysisFile, ACutOrShiftedFileIsRefusedAndTheSheetStaysAsItWas) {
    TempDir dir;
    SheetGrid saved = NewSheet();
    saved.setCell(TaxpayerColumnOf(2019), Row::TaxedIncome, "12.345,67");
    SaveGridToFile(saved, dir / "a.grd");
    const std::string whole = ReadBytes(dir / "a.grd");
    SheetGrid grid = NewSheet();
    grid.setCell(1, Row::TaxedIncome, "7,00");
    const SheetGrid before = grid;

    std::vector<std::string> damaged;
    // Cut at every line end and inside the last lines (a cut amount), ...
    for (size_t at = whole.find('\n'); at + 1 < whole.size(); at = whole.find('\n', at + 1)) damaged.push_back(whole.substr(0, at + 1));
    for (size_t back = 1; back <= 12; ++back) damaged.push_back(whole.substr(0, whole.size() - back));
    // ... one line more or less in the middle, which shifts every later cell, and one more at the end.
    const size_t middle = whole.find("12.345,67");
    damaged.push_back(whole.substr(0, middle) + "\r\n" + whole.substr(middle));
    const size_t lineEnd = whole.find('\n', middle);
    damaged.push_back(whole.substr(0, middle) + whole.substr(lineEnd + 1));
    damaged.push_back(whole + "\r\n");
    for (const auto& bytes : damaged) {
        test::WriteBytes(dir / "bad.grd", bytes);
        EXPECT_THROW(LoadGridFromFile(dir / "bad.grd", grid), AnalysisFileError) << bytes.size() << " bytes";
        ASSERT_EQ(grid, before) << bytes.size() << " bytes";
    }
    try {
        GridFromBytes(whole.substr(0, whole.size() - 2 - 40));
        FAIL() << "read a cut file";
    } catch (const AnalysisFileError& e) {
        EXPECT_NE(std::string(e.what()).find("κατεστραμμένο"), std::string::npos) << e.what();
    }

    // Whole, with LF line ends as well as CR LF: read.
    ASSERT_TRUE(LoadGridFromFile(dir / "a.grd", grid));
    EXPECT_EQ(grid, saved);
    std::string lf = whole;
    std::erase(lf, '\r');
    EXPECT_EQ(GridFromBytes(lf), saved);
}

TEST(AnalysisFile, OnlyARegularFileOfAnalysisSizeIsRead) {
    TempDir dir;
    SaveGridToFile(NewSheet(), dir / "good.grd");
    std::filesystem::create_symlink(dir / "good.grd", dir / "link.grd");
    std::filesystem::create_directory(dir / "folder.grd");
    ASSERT_EQ(::mkfifo((dir / "fifo.grd").c_str(), 0600), 0);
    test::WriteBytes(dir / "huge.grd", "3\r\n40\r\n" + std::string(5 * 1024 * 1024, 'x') + "\r\n");
    std::filesystem::create_symlink(dir / "loop.grd", dir / "loop.grd");
    SheetGrid grid = NewSheet();
    const SheetGrid before = grid;
    for (const char* name : {"link.grd", "folder.grd", "fifo.grd", "huge.grd", "loop.grd"}) {
        try {
            LoadGridFromFile(dir / name, grid);
            ADD_FAILURE() << name << " was read";
        } catch (const FileError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("Αδυναμία ανάγνωσης του αρχείου", 0), 0u) << e.what();
        }
        EXPECT_EQ(grid, before) << name;
    }
    EXPECT_EQ(std::filesystem::status(dir / "good.grd").permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST(AnalysisFile, RejectsFilesThatAreNoSheetAndKeepsTheSheet) {
    TempDir dir;
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"37"},
        {"abc", "40"},
        {"37", ""},
        {"-37", "40"},
        {"+37", "40"},
        {"37 ", "40"},
        {"36", "40"},
        {"1", "40"},
        {"0", "40"},
        {"37", "0"},
        {"999999999", "40"},
        {"37", "99999999"},
    };
    SheetGrid grid = NewSheet();
    grid.setCell(1, Row::TaxedIncome, "7,00");
    const SheetGrid before = grid;
    for (const auto& lines : bad) {
        test::WriteBytes(dir / "bad.grd", Lines(lines));
        EXPECT_THROW(LoadGridFromFile(dir / "bad.grd", grid), AnalysisFileError)
            << (lines.empty() ? "(empty)" : lines[0]);
        EXPECT_EQ(grid, before);
    }
    test::WriteBytes(dir / "undecodable.grd", "3\r\n1\r\n\xAA\r\n\r\n\r\n");
    EXPECT_THROW(LoadGridFromFile(dir / "undecodable.grd", grid), AnalysisFileError);
    EXPECT_FALSE(LoadGridFromFile(dir / "missing.grd", grid));
    EXPECT_EQ(grid, before);
}

TEST(AnalysisFile, ACellTheCodePageCannotHoldIsNamedAndNothingIsWritten) {
    TempDir dir;
    SheetGrid grid = NewSheet();
    SaveGridToFile(grid, dir / "a.grd");
    const std::string before = ReadBytes(dir / "a.grd");
    grid.setCell(TaxpayerColumnOf(2019), Row::TaxedIncome, "1,00 ✓");
    try {
        SaveGridToFile(grid, dir / "a.grd");
        FAIL() << "saved an unstorable cell";
    } catch (const AnalysisFileError& e) {
        EXPECT_NE(std::string(e.what()).find("2019 Υπόχρεου, «Εισοδήματα που φορολογήθηκαν»"), std::string::npos)
            << e.what();
    }
    EXPECT_EQ(ReadBytes(dir / "a.grd"), before);
    EXPECT_THROW(SaveGridToFile(NewSheet(), dir / "no-folder" / "a.grd"), FileError);
}

TEST(AnalysisFile, NameFollowsTheTaxNumberAndStaysInsideTheDataFolder) {
    EXPECT_EQ(AnalysisFilePath("Tables", "123456783", "2021"), std::filesystem::path("Tables/123456783_2021.grd"));
    EXPECT_THROW(AnalysisFilePath("Tables", "../123", "2021"), ClientNameError);
    EXPECT_THROW(AnalysisFilePath("Tables", "", "2021"), ClientNameError);
}

TEST(SavedAnalysis, NamesTheYearsThatHoldFiguresOfTheirOwn) {
    SheetGrid grid = NewSheet();  // computed rows are full of minimum living amounts
    EXPECT_TRUE(YearsWithFigures(grid).empty());
    EXPECT_EQ(DescribeYearsWithFigures(grid), "χωρίς ποσά σε κανένα έτος");
    grid.setCell(SpouseColumnOf(2015), Row::CarPresumption, "1.000,00");
    EXPECT_EQ(DescribeYearsWithFigures(grid), "με ποσά στο έτος 2015");
    grid.setCell(TaxpayerColumnOf(2019), Row::BankTransfers, "5,00");
    grid.setCell(TaxpayerColumnOf(2016), Row::TaxedIncome, "0,00");  // a zero is no figure
    grid.setCell(TaxpayerColumnOf(2010), Row::FinalBalance, "9,00");  // nor is a balance
    EXPECT_EQ(YearsWithFigures(grid), (std::vector<int>{2019, 2015}));
    EXPECT_EQ(DescribeYearsWithFigures(grid), "με ποσά στα έτη 2019, 2015");
}

TEST(SavedAnalysis, ARetrievalReplacesOnlyFiguresTheSheetHeldOtherwise) {
    const int t = TaxpayerColumnOf(2019), s = SpouseColumnOf(2019);
    const struct {
        const char* held;       // the sheet's taxed income of 2019 before the retrieval
        const char* retrieved;  // what the portal's return gives
        bool asked;
    } cases[] = {
        {"", "21.595,05", false},           // an empty cell is only filled
        {"0,00", "21.595,05", false},       // a zero is nothing of the user's
        {"21.595,05", "21.595,05", false},  // read before, unchanged since
        {"21.000,00", "21.595,05", true},   // corrected by hand
        {"21.000,00", "", true},            // the portal gives nothing there
        {"abc", "21.595,05", true},         // a text that is no amount is something too
    };
    for (const auto& c : cases) {
        SheetGrid held;
        BuildSheetLayout(held, YearSelection());
        held.setCell(t, Row::TaxedIncome, c.held);
        held.setCell(TaxpayerColumnOf(2018), Row::TaxedIncome, "5,00");  // another year: never in question
        SheetGrid retrieved = held;
        retrieved.setCell(t, Row::TaxedIncome, c.retrieved);
        retrieved.setCell(TaxpayerColumnOf(2018), Row::TaxedIncome, "6,00");
        retrieved.setCell(s, Row::TaxedIncome, "100,00");  // the spouse's empty cell filled: no question
        const std::vector<ReplacedFigure> figures = ReplacedFigures(held, retrieved, 2019);
        ASSERT_EQ(figures.size(), c.asked ? 1u : 0u) << c.held;
        if (!c.asked) continue;
        EXPECT_EQ(figures[0].column, t);
        EXPECT_EQ(figures[0].row, Row::TaxedIncome);
        const std::string question = ReplaceFiguresQuestion(held, 2019, figures);
        EXPECT_EQ(question, "Το έτος 2019 έχει στο φύλλο ποσά που διαφέρουν από της Α.Α.Δ.Ε. (" +
                                held.cell(0, Row::TaxedIncome) + ", Υπόχρεου: " + c.held + " στο φύλλο, " +
                                (*c.retrieved ? c.retrieved : "κενό") + " στην Α.Α.Δ.Ε.). Να αντικατασταθούν με τα ποσά της Α.Α.Δ.Ε.;");
        // Όχι: the year's figures come back, the other year's stay as the retrieval left them.
        RestoreYearFigures(retrieved, held, 2019);
        EXPECT_EQ(retrieved.cell(t, Row::TaxedIncome), c.held);
        EXPECT_EQ(retrieved.cell(s, Row::TaxedIncome), "");
        EXPECT_EQ(retrieved.cell(TaxpayerColumnOf(2018), Row::TaxedIncome), "6,00");
    }
}

TEST(SavedAnalysis, AStampChangesWhenTheFileIsWrittenAgain) {
    TempDir dir;
    EXPECT_FALSE(StampOf(dir / "a.grd"));
    SaveGridToFile(NewSheet(), dir / "a.grd");
    const auto first = StampOf(dir / "a.grd");
    ASSERT_TRUE(first);
    EXPECT_EQ(StampOf(dir / "a.grd"), first);
    std::filesystem::last_write_time(dir / "a.grd", first->written - std::chrono::hours(24));
    EXPECT_NE(StampOf(dir / "a.grd"), first);
    EXPECT_EQ(SavedAtText(*first).size(), std::string("12/03/2021 10:42").size());
}

TEST(MarriedMarks, SpouseFiguresWithoutTheMarkAreAHintNeverAMark) {
    SheetGrid grid = NewSheet();
    const int s = SpouseColumnOf(2016);
    EXPECT_FALSE(SpouseFiguresWithoutMark(grid, s));
    grid.setCell(s, Row::TaxedIncome, "12.000,00");
    EXPECT_TRUE(SpouseFiguresWithoutMark(grid, s));
    EXPECT_EQ(grid.cell(s, Row::PersonHeader), "Συζύγου");  // the hint marks nothing
    EXPECT_FALSE(SpouseFiguresWithoutMark(grid, s - 1));     // the taxpayer column is no spouse header
    ToggleMarriedMark(grid, s);
    EXPECT_FALSE(SpouseFiguresWithoutMark(grid, s));
    ToggleMarriedMark(grid, s);
    grid.setCell(s, Row::TaxedIncome, "");
    grid.setCell(TaxpayerColumnOf(2016), Row::TaxedIncome, "12.000,00");  // the taxpayer's figures are no hint
    EXPECT_FALSE(SpouseFiguresWithoutMark(grid, s));
}

}  // namespace
}  // namespace skartina
