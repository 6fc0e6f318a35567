// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/TextFile.h"
#include "sheet/AnalysisFile.h"
#include "sheet/ExcelExport.h"
#include "sheet/ExcelLayout.h"
#include "sheet/SheetLayout.h"
#include "sheet/SheetRows.h"
#include "support/TestSupport.h"
#include "support/WorkbookReadBack.h"
#include "support/SheetGridForms.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

namespace skartina {
namespace {

using test::ReadBack;
using test::TempDir;
using test::Workbook;

TEST(ExcelLayout, BlocksOfTenColumns38RowsApart) {
    const struct {
        int columns;
        int blocks;
    } counts[] = {{1, 1}, {3, 1}, {11, 1}, {12, 2}, {21, 2}, {23, 3}, {37, 4}, {43, 5}, {53, 6}, {61, 6}, {81, 8}, {83, 9}};
    for (const auto& c : counts) EXPECT_EQ(ExcelBlockCount(c.columns), c.blocks) << c.columns;

    // The initial sheet: columns 0-10, 11-20, 21-30, 31-36, titles at rows 1, 39, 77, 115.
    EXPECT_EQ(ExcelBlockOf(10), 0);
    EXPECT_EQ(ExcelBlockOf(11), 1);
    EXPECT_EQ(ExcelBlockOf(20), 1);
    EXPECT_EQ(ExcelBlockOf(21), 2);
    EXPECT_EQ(ExcelBlockOf(36), 3);
    for (int block : {0, 1, 2, 3}) EXPECT_EQ(ExcelBlockTitleRow(block) + 1, 1 + 38 * block);

    EXPECT_EQ(ExcelPlaceOf(0, 0), (ExcelPlace{3, 0}));    // A4
    EXPECT_EQ(ExcelPlaceOf(10, 33), (ExcelPlace{36, 10}));  // K37
    EXPECT_EQ(ExcelPlaceOf(11, 0), (ExcelPlace{41, 1}));  // B42
    EXPECT_EQ(ExcelPlaceOf(20, 0), (ExcelPlace{41, 10}));
    EXPECT_EQ(ExcelPlaceOf(41, 3), (ExcelPlace{4 * 38 + 6, 1}));
}

TEST(ExcelLayout, AmountsBecomeNumbersAndEverythingElseStaysText) {
    EXPECT_EQ(ExcelValueOf("2.500,00"), ExcelValue(2500.0));
    EXPECT_EQ(ExcelValueOf("-1.234,50"), ExcelValue(-1234.5));
    EXPECT_EQ(ExcelValueOf("0,00"), ExcelValue(0.0));
    EXPECT_EQ(ExcelValueOf(""), ExcelValue());
    for (const std::string text : {"Υπόχρεου", "_2020_", "2500", "2.500", "Αγορά Πλοίων, Αεροσκαφών κλπ.",
                                   "Εισοδήματα από Πωλήσεις περ. στ., Δάνεια, Δωρεές κλπ.", ",", "1,2,3", " "})
        EXPECT_EQ(ExcelValueOf(text), ExcelValue(text)) << text;
}

TEST(ExcelLayout, GreysOfCaptionsAndTotals) {
    for (int row : {0, 9, 27, 31, 33}) {
        EXPECT_EQ(ExcelFillOf(0, row), ExcelFill::Total) << row;
        EXPECT_EQ(ExcelFillOf(5, row), ExcelFill::Total) << row;
    }
    for (int row : {1, 2, 3, 26, 28, 30, 32}) {
        EXPECT_EQ(ExcelFillOf(0, row), ExcelFill::Caption) << row;
        EXPECT_EQ(ExcelFillOf(1, row), ExcelFill::None) << row;
    }
}

TEST(ExcelLayout, WidthsFollowTheWidestText) {
    ColumnFit fit;
    EXPECT_TRUE(fit.empty());
    fit.add("0,00");
    const double narrow = fit.width();
    fit.add("Υπόχρεου");
    fit.add("1,0");
    const double wider = fit.width();
    EXPECT_GT(wider, narrow);
    ColumnFit caption;
    caption.add("Εισοδήματα Αφορολόγητα ή φορολογητέα με ειδικό τρόπο");
    EXPECT_GT(caption.width(), 4 * wider);
}

TEST(ExcelExport, WorkbookReadBack) {
    // 2020 down to 1995: 53 columns, six blocks, the last below worksheet row 200.
    YearSelection years;
    for (int year = kOldestBoxYear; year <= kNewestYear; ++year) years.setTicked(year, true);
    years.setFirstYear(1995);
    SheetGrid grid;
    BuildSheetLayout(grid, years);
    ASSERT_EQ(grid.columnCount(), 53);
    grid.setCell(TaxpayerColumnOf(2020), Row::TaxedIncome, "2.500,00");
    grid.setCell(SpouseColumnOf(2000), Row::TaxedIncome, "-1.234,50");
    grid.setCell(SpouseColumnOf(2016), Row::OtherIncome, "σημείωση, 3.5");
    grid.setCell(SpouseColumnOf(2017), Row::OtherIncome, "=1+2");

    TempDir dir;
    const auto xlsx = dir / "sheet.xlsx";
    ExportToExcel(grid, xlsx, "ΠΑΠΑΣ ΝΙΚΟΣ", "123456783");
    EXPECT_EQ(std::filesystem::status(xlsx).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    const Workbook book = ReadBack(dir, xlsx);
    ASSERT_EQ(book.sheets, 1);
    // A text that looks like a formula is a string cell, never a formula.
    EXPECT_EQ(book.cells.at("I11")[0], "s");
    EXPECT_EQ(book.cells.at("I11")[1], "=1+2");

    // Title rows and their merges, in every block.
    for (int block = 0; block < 6; ++block) {
        const std::string n = std::to_string(block * 38 + 1), n1 = std::to_string(block * 38 + 2),
                          n2 = std::to_string(block * 38 + 3);
        for (const std::string& range : {"A" + n + ":D" + n, "E" + n + ":M" + n, "A" + n1 + ":M" + n1, "A" + n2 + ":M" + n2})
            EXPECT_TRUE(book.merges.contains(range)) << range;
        ASSERT_TRUE(book.cells.contains("A" + n)) << n;
        EXPECT_EQ(book.cells.at("A" + n)[1], "Υποχρεος : ΠΑΠΑΣ ΝΙΚΟΣ");
        EXPECT_EQ(book.cells.at("E" + n)[1], "Α.Φ.Μ. : 123456783");
        EXPECT_EQ(book.cells.at("A" + n1)[1], "ΠΙΝΑΚΑΣ ΑΝΑΛΩΣΗΣ ΚΕΦΑΛΑΙΟΥ ΠΡΟΗΓΟΥΜΕΝΩΝ ΕΤΩΝ");
        EXPECT_EQ(book.cells.at("A" + n1)[5], "center");
    }
    EXPECT_EQ(book.merges.size(), 24u);

    // Numbers as numbers, texts as texts.
    EXPECT_EQ(book.cells.at("B7"), (std::vector<std::string>{"n", "2500", "#,##0.00", "-", "8.0", "-"}));
    // 2000's spouse column is the second of the fifth block: C, row 4 * 38 + 4 + 3.
    EXPECT_EQ(book.cells.at("C159"), (std::vector<std::string>{"n", "-1234.5", "#,##0.00", "-", "8.0", "-"}));
    EXPECT_EQ(book.cells.at("K11")[0], "s");
    EXPECT_EQ(book.cells.at("K11")[1], "σημείωση, 3.5");
    EXPECT_EQ(book.cells.at("B4")[0], "s");
    EXPECT_EQ(book.cells.at("B4")[1], "_2020_");
    EXPECT_EQ(book.cells.at("B5")[1], "Υπόχρεου");
    EXPECT_EQ(book.cells.at("B42")[1], "_2015_");  // first column of block 2

    // Captions: the same text in block 1 and repeated in every later block.
    const std::string sales(RowCaption(Row::AssetSaleIncome));
    for (int block = 0; block < 6; ++block) {
        const auto& cell = book.cells.at("A" + std::to_string(block * 38 + 4 + Row::AssetSaleIncome));
        EXPECT_EQ(cell, (std::vector<std::string>{"s", sales, "#,##0.00", "FFE6E6E6", "8.0", "-"})) << block;
        EXPECT_EQ(book.cells.at("A" + std::to_string(block * 38 + 4 + Row::IncomeTotal))[3], "FFC8C8C8") << block;
    }
    // The darker rows across the whole block, empty cells included.
    EXPECT_EQ(book.cells.at("C4")[3], "FFC8C8C8");
    EXPECT_EQ(book.cells.at("K" + std::to_string(4 + Row::FinalBalance))[3], "FFC8C8C8");
    EXPECT_EQ(book.cells.at("C" + std::to_string(5 * 38 + 4 + Row::CapitalConsumptionUsed))[3], "FFC8C8C8");
    EXPECT_EQ(book.cells.at("B7")[3], "-");
    // Nothing beyond the last sheet column: the last block holds 1995 alone (B and C).
    EXPECT_EQ(book.cells.at("B" + std::to_string(5 * 38 + 4))[1], "_1995_");
    EXPECT_TRUE(book.cells.contains("C" + std::to_string(5 * 38 + 4)));
    EXPECT_FALSE(book.cells.contains("D" + std::to_string(5 * 38 + 4)));
    EXPECT_FALSE(book.cells.contains("L4"));

    for (const auto& [where, cell] : book.cells) EXPECT_EQ(cell[4], "8.0") << where;

    // Widths fitted to the contents: the captions' column is the widest.
    ASSERT_TRUE(book.widths.contains("A"));
    ASSERT_TRUE(book.widths.contains("B"));
    EXPECT_GT(book.widths.at("A"), 30);
    EXPECT_LT(book.widths.at("B"), book.widths.at("A") / 3);
    EXPECT_GT(book.widths.at("B"), 5);

    EXPECT_EQ(book.page.size(), 7u);
    EXPECT_EQ(book.page[0], "landscape");
    for (int i = 1; i <= 4; ++i) EXPECT_NEAR(std::stod(book.page[i]), 15.0 / 72, 1e-9) << i;
    EXPECT_EQ(std::stod(book.page[5]), 0.0);  // footer margin
    EXPECT_EQ(book.page[6], "True");          // gridlines printed

    // Printed on A4, a page a block: a break after the last row of each block
    // but the last, and the width fitted to one page, with no limit of pages tall.
    EXPECT_EQ(book.print, (std::vector<std::string>{"9", "None", "True", "1", "0", "38,76,114,152,190"}));
}

TEST(ExcelExport, TheBalanceChartSheetOnlyWhenAskedFor) {
    SheetGrid grid;
    ASSERT_TRUE(LoadGridFromFile(std::filesystem::path(SKARTINA_FIXTURES) / "sheets" / "married.grd", grid));
    TempDir dir;
    ExportToExcel(grid, dir / "plain.xlsx", "ΠΑΠΑΣ ΝΙΚΟΣ", "123456783");
    const Workbook plain = ReadBack(dir, dir / "plain.xlsx");
    EXPECT_EQ(plain.sheets, 1);
    EXPECT_TRUE(plain.charts.empty());

    ExportToExcel(grid, dir / "chart.xlsx", "ΠΑΠΑΣ ΝΙΚΟΣ", "123456783", true);
    const Workbook book = ReadBack(dir, dir / "chart.xlsx");
    ASSERT_EQ(book.sheets, 2);
    EXPECT_EQ(book.laterSheets, std::vector<std::string>{"Διάγραμμα"});
    // The first sheet is the sheet's workbook as without the chart.
    EXPECT_EQ(book.cells, plain.cells);
    // The table: the years oldest first, each person's two balances as numbers.
    EXPECT_EQ(book.extra.at("Διάγραμμα!A1")[1], "Έτος");
    EXPECT_EQ(book.extra.at("Διάγραμμα!B1")[1], "Υπόχρεος: Διαθέσιμο Υπόλοιπο Εισόδημα στη χρήση");
    EXPECT_EQ(book.extra.at("Διάγραμμα!E1")[1], "Σύζυγος: Τελικό Διαθέσιμο Υπόλοιπο");
    EXPECT_EQ(book.extra.at("Διάγραμμα!A2"), (std::vector<std::string>{"s", "2015", "General"}));
    EXPECT_EQ(book.extra.at("Διάγραμμα!A7")[1], "2020");
    EXPECT_EQ(book.extra.at("Διάγραμμα!C7"), (std::vector<std::string>{"n", "75000", "#,##0.00"}));
    EXPECT_EQ(book.extra.at("Διάγραμμα!D4"), (std::vector<std::string>{"n", "-5500", "#,##0.00"}));  // the spouse's 2017
    EXPECT_EQ(book.extra.at("Διάγραμμα!E7")[1], "12000");
    EXPECT_FALSE(book.extra.contains("Διάγραμμα!A8"));
    // A column chart a person, each drawing that person's two columns over the years.
    ASSERT_EQ(book.charts.size(), 2u);
    for (size_t p = 0; p < 2; ++p) {
        EXPECT_EQ(book.charts[p][1], "bar");
        const std::string first(1, static_cast<char>('B' + 2 * p)), second(1, static_cast<char>('C' + 2 * p));
        EXPECT_NE(book.charts[p][2].find("Διάγραμμα"), std::string::npos) << book.charts[p][2];
        for (const std::string& range : {std::string("!$A$2:$A$7"), "!$" + first + "$2:$" + first + "$7",
                                         "!$" + second + "$2:$" + second + "$7"})
            EXPECT_NE(book.charts[p][2].find(range), std::string::npos) << range << " in " << book.charts[p][2];
    }
}

TEST(ExcelLayout, PageBreaksBeforeEveryLaterBlock) {
    EXPECT_TRUE(ExcelPageBreaks(11).empty());
    EXPECT_EQ(ExcelPageBreaks(37), (std::vector<int>{38, 76, 114}));
}

TEST(ExcelExport, ReplacesAnExistingFileAndReportsAnUnwritableOne) {
    TempDir dir;
    SheetGrid grid;
    BuildSheetLayout(grid, YearSelection());
    test::WriteBytes(dir / "a.xlsx", "old");
    ExportToExcel(grid, dir / "a.xlsx", "", "");
    EXPECT_EQ(test::ReadBytes(dir / "a.xlsx").substr(0, 2), "PK");
    EXPECT_THROW(ExportToExcel(grid, dir / "missing" / "a.xlsx", "", ""), FileError);
    EXPECT_EQ(test::FolderNames(dir.path()), std::vector<std::string>{"a.xlsx"});
}

}  // namespace
}  // namespace skartina
