#include "common/ClientFiles.h"
#include "common/TextFile.h"
#include "sheet/AnalysisFile.h"
#include "sheet/MarriedMarks.h"
#include "sheet/Recalculate.h"
#include "sheet/SheetLayout.h"
#include "sheet/SheetRows.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

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
    SaveGridToFile(NewSheet(), dir / "123456789_2021.grd");
    const std::vector<std::string> lines = ReadCp1253Lines(dir / "123456789_2021.grd");
    ASSERT_EQ(lines.size(), 1482u);
    EXPECT_EQ(lines[0], "37");
    EXPECT_EQ(lines[1], "40");
    EXPECT_EQ(lines[2], "Οικονομικό Έτος");
    EXPECT_EQ(lines[2 + 40], "_2020_");
    EXPECT_EQ(lines[2 + 41], "Υπόχρεου");
    EXPECT_EQ(lines[2 + 81], "Συζύγου");
    const std::string bytes = ReadBytes(dir / "123456789_2021.grd");
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

TEST(AnalysisFile, ShortFilesReadTheMissingCellsAsEmpty) {
    // 3 columns of 2 rows, then a file cut short inside the last column.
    const SheetGrid grid = GridFromLines({"3", "2", "Οικονομικό Έτος", " ", "_2020_", "Υπόχρεου", "", "Συζύγου*"});
    EXPECT_EQ(grid.columnCount(), 3);
    EXPECT_EQ(grid.rowCount(), 40);
    EXPECT_EQ(grid.cell(1, 0), "_2020_");
    EXPECT_EQ(grid.cell(1, 1), "Υπόχρεου");
    EXPECT_EQ(grid.cell(1, 2), "");  // beyond the stored rows
    EXPECT_EQ(grid.cell(2, 1), "Συζύγου*");

    const SheetGrid cut = GridFromLines({"3", "40", "Οικονομικό Έτος"});
    EXPECT_EQ(cut.cell(0, 0), "Οικονομικό Έτος");
    EXPECT_EQ(cut.cell(2, 39), "");

    // A larger stored row count enlarges the sheet; it is never shrunk.
    EXPECT_EQ(GridFromLines({"3", "42"}).rowCount(), 42);
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
    test::WriteBytes(dir / "undecodable.grd", "3\r\n40\r\n\xAA\r\n");
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
    EXPECT_EQ(AnalysisFilePath("Tables", "123456789", "2021"), std::filesystem::path("Tables/123456789_2021.grd"));
    EXPECT_THROW(AnalysisFilePath("Tables", "../123", "2021"), ClientNameError);
    EXPECT_THROW(AnalysisFilePath("Tables", "", "2021"), ClientNameError);
}

}  // namespace
}  // namespace skartina
