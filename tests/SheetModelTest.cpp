// SPDX-License-Identifier: GPL-3.0-or-later
// The sheet of figures where it meets text: the analysis file read and
// written back byte for byte, and one amount followed from where it enters
// (typed, or from a return) to every place it leaves.

#include "common/TextFile.h"
#include "e1/YearFigures.h"
#include "sheet/AnalysisFile.h"
#include "sheet/CsvExport.h"
#include "sheet/ExcelExport.h"
#include "sheet/ExcelLayout.h"
#include "sheet/HandEntry.h"
#include "sheet/MarriedMarks.h"
#include "sheet/Recalculate.h"
#include "sheet/SavedAnalysis.h"
#include "sheet/SheetLayout.h"
#include "sheet/SheetPdf.h"
#include "sheet/SheetRows.h"
#include "support/PdfReadBack.h"
#include "support/TestSupport.h"
#include "support/WorkbookReadBack.h"
#include "support/SheetGridForms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <variant>

namespace skartina {
namespace {

using test::ReadBytes;
using test::TempDir;

std::vector<std::filesystem::path> AnalysisFixtures() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(SKARTINA_FIXTURES))
        if (entry.is_regular_file() && entry.path().extension() == ".grd") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

TEST(SheetFile, EveryFixtureReadAndWrittenBackIsTheSameBytes) {
    const auto files = AnalysisFixtures();
    ASSERT_FALSE(files.empty());
    for (const auto& file : files) {
        const std::string bytes = ReadBytes(file);
        bool readable = true;
        try {
            GridFromBytes(bytes, 0);
        } catch (const AnalysisFileError&) {
            readable = false;
        }
        if (!readable) {
            // What the grid refuses the sheet refuses too.
            EXPECT_THROW(SheetFromBytes(bytes, 0), AnalysisFileError) << file;
            continue;
        }
        EXPECT_EQ(Cp1253FileBytes(SheetToLines(SheetFromBytes(bytes, 0))), bytes) << file;
    }
}

TEST(SheetFile, AProgramsSheetKeepsItsFiguresMarksAndBytes) {
    YearSelection years;
    years.setFirstYear(1995);
    for (int year = kOldestBoxYear; year <= kNewestYear; ++year) years.setTicked(year, true);
    SheetGrid grid;
    BuildSheetLayout(grid, years);
    for (int c = 1; c < grid.columnCount(); ++c) {
        grid.setCell(c, Row::TaxedIncome, FormatAmount(1234.5 * c));
        grid.setCell(c, Row::HousePresumption, FormatAmount(-0.01 * c));
        if (c % 3 == 0) ToggleMarriedMark(grid, c);
    }
    grid.setCell(SpouseColumnOf(2010), Row::DeclaredCapitalConsumption, "2500");  // an older edition's spelling
    grid.setCell(SpouseColumnOf(2011), Row::BankTransfers, "σημείωση");
    RecalculateSheet(grid);

    TempDir dir;
    SaveGridToFile(grid, dir / "grid.grd");
    Sheet sheet;
    ASSERT_TRUE(LoadSheetFromFile(dir / "grid.grd", sheet));
    for (int year = 1995; year <= kNewestYear; ++year)
        EXPECT_EQ(sheet.married(TaxpayerColumnOf(year)), IsMarriedColumn(grid, TaxpayerColumnOf(year))) << year;
    EXPECT_TRUE(sheet.married(SpouseColumnOf(2018)));
    EXPECT_EQ(sheet.cell(SpouseColumnOf(2010), Row::DeclaredCapitalConsumption).amount, Money::FromCents(250000));
    EXPECT_FALSE(sheet.figure(SpouseColumnOf(2011), Row::BankTransfers));
    SaveSheetToFile(sheet, dir / "sheet.grd");
    EXPECT_EQ(ReadBytes(dir / "sheet.grd"), ReadBytes(dir / "grid.grd"));

    // The recalculation of the sheet and of its texts agree figure for figure.
    Sheet recalculated = SheetOfGrid(grid);
    grid.setCell(TaxpayerColumnOf(2012), Row::TaxedIncome, "");
    recalculated.clear(TaxpayerColumnOf(2012), Row::TaxedIncome);
    RecalculateSheet(grid);
    RecalculateSheet(recalculated);
    EXPECT_EQ(GridOfSheet(recalculated), grid);
}

// Where an amount enters the sheet.
struct Entry {
    std::string typed;         // typed into a cell, or
    double fromReturn = 0;     // a return's figure, as the year rules publish it
    std::string shown;         // what every edge shows
};

const Entry kEntries[] = {
    {"0", 0, "0,00"},
    {"-1.234,5", 0, "-1.234,50"},
    {"1234.5", 0, "1.234,50"},
    {"-0,01", 0, "-0,01"},
    {"", 0.005, "0,01"},
    {"", 1.005, "1,01"},
    {"", 2.675, "2,68"},
    {"", 0.004, "0,00"},
    {"", 9999999999999.99, "9.999.999.999.999,99"},  // the most a workbook number holds exactly
    {"92.233.720.368.547.758,07", 0, "92.233.720.368.547.758,07"},  // the most a cell holds
};

// "1.234,50" as the C locale writes it: "1234.50".
double DecimalValue(const std::string& shown) {
    std::string plain;
    for (char ch : shown)
        if (ch != '.') plain += ch == ',' ? '.' : ch;
    return std::stod(plain);
}

std::string CsvFieldAt(const std::string& line, int column) {
    std::stringstream in(line);
    std::string field;
    for (int c = 0; c <= column; ++c) std::getline(in, field, ';');
    return field;
}

std::string A1(ExcelPlace place) {
    std::string letters;
    for (int n = place.column + 1; n > 0; n = (n - 1) / 26) letters.insert(letters.begin(), char('A' + (n - 1) % 26));
    return letters + std::to_string(place.row + 1);
}

TEST(SheetEdges, AnAmountShowsTheSameFromEntryToEveryExport) {
    TempDir dir;
    for (const Entry& entry : kEntries) {
        SCOPED_TRACE(entry.shown);
        YearSelection years;
        SheetGrid layout;
        BuildSheetLayout(layout, years);
        Sheet sheet = SheetOfGrid(layout);
        const int column = SpouseColumnOf(2019);
        const int row = Row::AuditIncome;
        if (!entry.typed.empty()) {
            const auto typed = ReadTypedMoney(entry.typed);
            ASSERT_TRUE(typed);
            EXPECT_EQ(NormalizeTypedAmount(entry.typed), entry.shown);
            sheet.setAmount(column, row, *typed);
        } else {
            PublishFigure(sheet, 2019, row, Person::Spouse, entry.fromReturn);
        }
        EXPECT_EQ(CellText(sheet, column, row), entry.shown);

        SaveSheetToFile(sheet, dir / "a.grd");
        Sheet reopened;
        ASSERT_TRUE(LoadSheetFromFile(dir / "a.grd", reopened));
        EXPECT_EQ(reopened, sheet);
        EXPECT_EQ(CellText(reopened, column, row), entry.shown);

        const auto csv = CsvLines(reopened, "Ν", "1");
        EXPECT_EQ(CsvFieldAt(csv.at(5 + static_cast<size_t>(row)), column), entry.shown);

        ExportToExcel(reopened, dir / "a.xlsx", "Ν", "1");
        const test::Workbook book = test::ReadBack(dir, dir / "a.xlsx");
        const auto& cell = book.cells.at(A1(ExcelPlaceOf(column, row)));
        EXPECT_EQ(cell[0], "n");
        EXPECT_EQ(std::stod(cell[1]), DecimalValue(entry.shown));
        EXPECT_EQ(cell[2], kExcelNumberFormat);

        ExportToPdf(reopened, dir / "a.pdf", "Ν", "1");
        bool printed = false;
        for (const auto& page : test::ReadPdf(ReadBytes(dir / "a.pdf")))
            printed = printed || std::find(page.words.begin(), page.words.end(), entry.shown) != page.words.end();
        EXPECT_TRUE(printed);
    }
}

TEST(SheetEdges, AFigureTooLargeToSumIsTheErrorOfItsTotal) {
    SheetGrid layout;
    BuildSheetLayout(layout, YearSelection());
    Sheet sheet = SheetOfGrid(layout);
    const int column = TaxpayerColumnOf(2020);
    sheet.setAmount(column, Row::TaxedIncome, kLargestMoney);
    sheet.setAmount(column, Row::SpecialIncome, Money::FromCents(1));
    try {
        RecalculateSheet(sheet);
        FAIL() << "summed past the largest amount";
    } catch (const SheetError& e) {
        EXPECT_EQ(e.column(), column);
        EXPECT_EQ(e.row(), Row::IncomeTotal);
    }
    // Up to the largest amount the total is exact to the cent.
    sheet.clear(column, Row::SpecialIncome);
    sheet.setAmount(column, Row::TaxedIncome, Money::FromCents(INT64_MAX - 1));
    sheet.setAmount(column, Row::OtherIncome, Money::FromCents(1));
    RecalculateSheet(sheet);
    EXPECT_EQ(CellText(sheet, column, Row::IncomeTotal), "92.233.720.368.547.758,07");
    EXPECT_EQ(CellText(sheet, column, Row::AvailableBalance), "92.233.720.368.544.758,07");
}

// The marks and the figures are read from the sheet itself: a header a file
// wrote in another form is neither read as a mark nor changed by one.
TEST(SheetMarks, AHeaderOfAnotherFormIsNeitherReadNorChanged) {
    Sheet sheet;
    BuildSheetLayout(sheet, YearSelection());
    const int kept = SpouseColumnOf(2019);
    sheet.setCell(kept, Row::PersonHeader, {std::nullopt, "Σύζ."});

    ApplyMarriedToAllYears(sheet, true);
    EXPECT_EQ(CellText(sheet, SpouseColumnOf(2020), Row::PersonHeader), kMarriedSpouseHeader);
    EXPECT_TRUE(IsMarriedColumn(sheet, TaxpayerColumnOf(2020)));
    EXPECT_EQ(CellText(sheet, kept, Row::PersonHeader), "Σύζ.");
    EXPECT_FALSE(IsMarriedColumn(sheet, kept));
    EXPECT_FALSE(ToggleMarriedMark(sheet, kept));
    EXPECT_FALSE(ToggleMarriedMark(sheet, TaxpayerColumnOf(2020)));

    EXPECT_TRUE(ToggleMarriedMark(sheet, SpouseColumnOf(2020)));
    EXPECT_EQ(CellText(sheet, SpouseColumnOf(2020), Row::PersonHeader), kSpouseHeader);
    EXPECT_EQ(SheetFromLines(SheetToLines(sheet)), sheet);
}

TEST(SheetMarks, FiguresCountByTheirAmountNotTheirText) {
    struct Case {
        SheetCell cell;
        bool yearHasFigures;
        bool spouseWithoutMark;
    } cases[] = {
        {{}, false, false},
        {{Money(), std::nullopt}, false, false},
        {{Money(), "0"}, false, false},                        // a zero written another way
        {{Money::FromCents(1), std::nullopt}, true, true},
        {{Money::FromCents(-250000), "-2500"}, true, true},
        {{std::nullopt, "πολλά"}, true, false},                 // no amount, but not nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cell.kept.value_or(c.cell.amount ? WriteAmount(*c.cell.amount) : "empty"));
        Sheet sheet;
        BuildSheetLayout(sheet, YearSelection());
        sheet.setCell(SpouseColumnOf(2018), Row::GiftsGiven, c.cell);
        const std::vector<int> years = YearsWithFigures(sheet);
        EXPECT_EQ(std::count(years.begin(), years.end(), 2018), c.yearHasFigures ? 1 : 0);
        EXPECT_EQ(SpouseFiguresWithoutMark(sheet, SpouseColumnOf(2018)), c.spouseWithoutMark);
        sheet.setMarried(SpouseColumnOf(2018), true);
        EXPECT_FALSE(SpouseFiguresWithoutMark(sheet, SpouseColumnOf(2018)));
    }
}

// The window's grid, changed as a sheet: what was done before an error stays done.
TEST(SheetGridForms, WhatWasDoneBeforeAnErrorReachesTheGrid) {
    Sheet sheet;
    BuildSheetLayout(sheet, YearSelection());
    SheetGrid grid = GridOfSheet(sheet);
    EXPECT_THROW(ChangeGridAsSheet(grid,
                                   [](Sheet& s) {
                                       s.setAmount(TaxpayerColumnOf(2020), Row::TaxedIncome, Money::FromCents(123456));
                                       throw std::runtime_error("stop");
                                   }),
                 std::runtime_error);
    EXPECT_EQ(grid.cell(TaxpayerColumnOf(2020), Row::TaxedIncome), "1.234,56");
    EXPECT_EQ(ChangeGridAsSheet(grid, [](Sheet& s) { return ToggleMarriedMark(s, SpouseColumnOf(2003)); }), true);
    EXPECT_EQ(grid.cell(SpouseColumnOf(2003), Row::PersonHeader), kMarriedSpouseHeader);
}

}  // namespace
}  // namespace skartina
