// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/CliRunner.h"
#include "support/PdfReadBack.h"
#include "support/TestSupport.h"
#include "common/TextFile.h"
#include "sheet/Amount.h"
#include "sheet/AnalysisFile.h"
#include "sheet/ExcelLayout.h"
#include "sheet/ExportTitles.h"
#include "sheet/PrintLayout.h"
#include "sheet/Recalculate.h"
#include "sheet/SheetLayout.h"
#include "sheet/SheetPdf.h"
#include "sheet/SheetRows.h"
#include "support/SheetGridForms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

namespace skartina {
namespace {

using test::Collapsed;
using test::ReadPage;
using test::ReadPdf;
using test::TempDir;

// The years from `firstYear` to 2020, every input row of every year with an
// amount of its own, recalculated.
SheetGrid FilledSheet(int firstYear) {
    YearSelection years;
    for (int y = kOldestBoxYear; y <= kNewestYear; ++y) years.setTicked(y, y >= firstYear);
    years.setFirstYear(firstYear);
    SheetGrid grid;
    BuildSheetLayout(grid, years);
    for (int c = 1; c < grid.columnCount(); ++c)
        for (int r = Row::TaxedIncome; r <= Row::BankTransfers; ++r)
            if (!IsTotalRow(r) && r != Row::MinimumLivingAmount && r != Row::AvailableBalance && r != Row::CarryAmount)
                grid.setCell(c, r, FormatAmount(1000.0 + 37.31 * c * c + 113.07 * r * r - (r == Row::GiftsGiven ? 5e6 : 0)));
    RecalculateSheet(grid);
    return grid;
}

// Every amount of a block's columns, row by row and left to right: the order
// in which its page is read.
std::vector<std::string> BlockAmounts(const SheetGrid& grid, int block) {
    std::vector<std::string> amounts;
    for (int r = 0; r < kExportedRows; ++r)
        for (int c = 1; c < grid.columnCount(); ++c)
            if (ExcelBlockOf(c) == block && std::holds_alternative<double>(ExcelValueOf(grid.cell(c, r))))
                amounts.push_back(grid.cell(c, r));
    return amounts;
}

std::vector<std::string> AmountsOf(const std::vector<std::string>& words) {
    static const std::regex amount(R"(-?\d{1,3}(\.\d{3})*,\d\d)");
    std::vector<std::string> amounts;
    std::copy_if(words.begin(), words.end(), std::back_inserter(amounts),
                 [](const std::string& w) { return std::regex_match(w, amount); });
    return amounts;
}

TEST(SheetPdf, PagesReadBackBlockByBlock) {
    const struct {
        int firstYear, columns, pages;
    } cases[] = {{2003, 37, 4}, {1995, 53, 6}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.columns);
        const SheetGrid grid = FilledSheet(c.firstYear);
        ASSERT_EQ(grid.columnCount(), c.columns);
        const auto pages = ReadPdf(PrintPagesPdf(
            SheetPrintPages(grid, "ΠΑΠΑΔΟΠΟΥΛΟΣ ΓΕΩΡΓΙΟΣ", "123456783", "05/03/2026"), "τίτλος"));
        ASSERT_EQ(static_cast<int>(pages.size()), c.pages);
        for (int p = 0; p < c.pages; ++p) {
            SCOPED_TRACE(p);
            const ReadPage& page = pages[p];
            EXPECT_NEAR(page.width, 841.89, 0.01);  // A4 landscape
            EXPECT_NEAR(page.height, 595.28, 0.01);
            const auto amounts = BlockAmounts(grid, p);
            EXPECT_GE(amounts.size(), 50u);  // the last block holds at least one year
            EXPECT_EQ(AmountsOf(page.words), amounts);

            for (const std::string title : {"Υποχρεος : ΠΑΠΑΔΟΠΟΥΛΟΣ ΓΕΩΡΓΙΟΣ", "Α.Φ.Μ. : 123456783",
                                            "ΠΙΝΑΚΑΣ ΑΝΑΛΩΣΗΣ ΚΕΦΑΛΑΙΟΥ ΠΡΟΗΓΟΥΜΕΝΩΝ ΕΤΩΝ", "05/03/2026"})
                EXPECT_NE(page.text.find(title), std::string::npos) << title;
            EXPECT_NE(page.text.find(PageFooterText(p + 1, c.pages)), std::string::npos) << page.text.substr(page.text.size() - 60);
            for (int r = 0; r <= Row::LastCaptioned; ++r) {
                const std::string caption = Collapsed(RowCaption(r));
                if (!caption.empty()) {
                    EXPECT_NE(page.text.find(caption), std::string::npos) << caption;
                }
            }
            // Each of the block's years, bare, once.
            const int firstColumn = p == 0 ? 1 : ExcelBlockFirstColumn(p);
            for (int column = firstColumn; column < c.columns && ExcelBlockOf(column) == p; column += 2)
                EXPECT_NE(std::find(page.words.begin(), page.words.end(), std::to_string(YearOfColumn(column))),
                          page.words.end())
                    << column;
        }
        EXPECT_NE(pages.back().text.find("Συζύγου"), std::string::npos);
    }
}

// A font of fixed advance: 5 points a character at 8 points.
double FixedWidth(std::string_view text, double size, bool) {
    double characters = 0;
    for (const char ch : text) characters += (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
    return characters * 5 * size / 8;
}

TEST(PrintLayout, EveryPageHoldsOneBlockInsideTheMargins) {
    for (const int firstYear : {2020, 2016, 2015, 2003, 1995, 1991}) {
        const SheetGrid grid = FilledSheet(firstYear);
        SCOPED_TRACE(grid.columnCount());
        const auto pages = LayOutSheetPages(SheetOfGrid(grid), "Ν", "1", "d", FixedWidth);
        ASSERT_EQ(static_cast<int>(pages.size()), ExcelBlockCount(grid.columnCount()));
        for (const PrintPage& page : pages) {
            const auto inside = [](double x, double y) {
                return x >= kPrintMargin - 1e-9 && x <= kPrintPageWidth - kPrintMargin + 1e-9 && y >= kPrintMargin - 1e-9 &&
                       y <= kPrintPageHeight - kPrintMargin + 1e-9;
            };
            for (const PrintText& text : page.texts) {
                EXPECT_TRUE(inside(text.clip.x, text.clip.y) && inside(text.clip.x + text.clip.width, text.clip.y + text.clip.height))
                    << text.text;
                EXPECT_FALSE(text.cut) << text.text;  // the columns fit their texts
                EXPECT_GE(text.x, text.clip.x) << text.text;
                EXPECT_LE(text.x + FixedWidth(text.text, text.size, text.bold), text.clip.x + text.clip.width + 1e-9) << text.text;
            }
            for (const PrintLine& line : page.lines)
                EXPECT_TRUE(inside(line.x1, line.y1) && inside(line.x2, line.y2));
            for (const PrintFill& fill : page.fills)
                EXPECT_TRUE(inside(fill.rect.x, fill.rect.y) && inside(fill.rect.x + fill.rect.width, fill.rect.y + fill.rect.height));
        }
        // A full block spans the printable width; the year columns are equal on every page.
        const auto widestRight = [](const PrintPage& page) {
            double right = 0;
            for (const PrintLine& line : page.lines) right = std::max({right, line.x1, line.x2});
            return right;
        };
        if (grid.columnCount() >= 11) {
            EXPECT_NEAR(widestRight(pages.front()), kPrintPageWidth - kPrintMargin, 1e-6);
        }
    }
}

TEST(PrintLayout, GreysBoldTotalsAndAlignment) {
    SheetGrid grid = FilledSheet(2016);  // 11 columns, one page
    grid.setCell(TaxpayerColumnOf(2020), Row::TaxedIncome, "1,00");
    const auto pages = LayOutSheetPages(SheetOfGrid(grid), "Ν", "1", "d", FixedWidth);
    ASSERT_EQ(pages.size(), 1u);
    const PrintPage& page = pages[0];
    const auto textOf = [&](const std::string& wanted) -> const PrintText& {
        const auto it = std::find_if(page.texts.begin(), page.texts.end(), [&](const PrintText& t) { return t.text == wanted; });
        EXPECT_NE(it, page.texts.end()) << wanted;
        return *it;
    };
    // An amount ends 2 points inside its cell's right edge; a caption begins 2 points inside the left.
    const PrintText& amount = textOf("1,00");
    EXPECT_NEAR(amount.x + FixedWidth("1,00", amount.size, false), amount.clip.x + amount.clip.width - 2, 1e-9);
    EXPECT_FALSE(amount.bold);
    const PrintText& caption = textOf(std::string(RowCaption(Row::TaxedIncome)));
    EXPECT_NEAR(caption.x, kPrintMargin + 2, 1e-9);
    // The year bare and centred over its two columns; the total rows bold.
    const PrintText& year = textOf("2020");
    EXPECT_TRUE(year.bold);
    EXPECT_NEAR(year.clip.width, 2 * amount.clip.width, 1e-9);
    EXPECT_NEAR(year.x + FixedWidth("2020", year.size, true) / 2, year.clip.x + year.clip.width / 2, 1e-9);
    EXPECT_TRUE(textOf(grid.cell(TaxpayerColumnOf(2018), Row::FinalBalance)).bold);
    EXPECT_TRUE(textOf(std::string(RowCaption(Row::IncomeTotal))).bold);

    // Light grey behind the captions, darker grey across the whole row of every total.
    const auto fillAt = [&](double x, double y) {
        unsigned color = 0xFFFFFF;
        for (const PrintFill& f : page.fills)
            if (x >= f.rect.x && x < f.rect.x + f.rect.width && y >= f.rect.y && y < f.rect.y + f.rect.height) color = f.color;
        return color;
    };
    const PrintText& income = textOf(grid.cell(SpouseColumnOf(2016), Row::IncomeTotal));
    EXPECT_EQ(fillAt(caption.clip.x + 1, caption.clip.y + 1), kCaptionGrey);
    EXPECT_EQ(fillAt(amount.clip.x + 1, amount.clip.y + 1), 0xFFFFFFu);
    EXPECT_EQ(fillAt(income.clip.x + 1, income.clip.y + 1), kTotalGrey);
    EXPECT_EQ(fillAt(kPrintMargin + 1, income.clip.y + 1), kTotalGrey);
    EXPECT_EQ(fillAt(year.clip.x + year.clip.width - 1, year.clip.y + 1), kTotalGrey);
}

TEST(PrintLayout, LongTextsMakeTheTextSmallerThenAreCutAtTheirCell) {
    YearSelection years;
    SheetGrid grid;
    BuildSheetLayout(grid, years);  // 2003 to 2020
    grid.setCell(1, Row::TaxedIncome, "1,00");
    const auto sizeOf = [](const PrintPage& page, const std::string& text) {
        for (const PrintText& t : page.texts)
            if (t.text == text) return t.size;
        return 0.0;
    };
    auto pages = LayOutSheetPages(SheetOfGrid(grid), "Ν", "1", "d", FixedWidth);
    EXPECT_EQ(sizeOf(pages[0], "1,00"), 8);

    grid.setCell(SpouseColumnOf(2013), Row::OtherIncome, "Δάνειο αδελφού");
    pages = LayOutSheetPages(SheetOfGrid(grid), "Ν", "1", "d", FixedWidth);
    const double smaller = sizeOf(pages[0], "1,00");
    EXPECT_LT(smaller, 8);
    EXPECT_GT(smaller, 5);
    EXPECT_EQ(sizeOf(pages[1], "Δάνειο αδελφού"), smaller);  // the same size on every page

    grid.setCell(SpouseColumnOf(2013), Row::OtherIncome, std::string(300, 'x'));
    pages = LayOutSheetPages(SheetOfGrid(grid), "Ν", "1", "d", FixedWidth);
    const auto note = std::find_if(pages[1].texts.begin(), pages[1].texts.end(),
                                   [](const PrintText& t) { return t.text.size() == 300; });
    ASSERT_NE(note, pages[1].texts.end());
    EXPECT_EQ(note->size, 5);
    EXPECT_LT(note->clip.width, 100);  // its own column, no wider than the others
    EXPECT_LT(note->x, note->clip.x);  // right-aligned, so its start is cut off
    EXPECT_TRUE(note->cut);
}

TEST(PrintLayout, FooterTexts) {
    EXPECT_EQ(PageFooterText(2, 6), "Σελίδα 2 από 6");
    // Noon UTC is the same day in every time zone within 11 hours of it.
    const auto noon = std::chrono::sys_days(std::chrono::year(2026) / 3 / 5) + std::chrono::hours(12);
    EXPECT_EQ(PrintDateText(noon), "05/03/2026");
}

TEST(SheetPdf, WrittenWholeAndFailuresSaid) {
    TempDir dir;
    const SheetGrid grid = FilledSheet(2003);
    test::WriteBytes(dir / "a.pdf", "old");
    ExportToPdf(grid, dir / "a.pdf", "", "");
    const std::string pdf = test::ReadBytes(dir / "a.pdf");
    EXPECT_TRUE(pdf.starts_with("%PDF-"));
    EXPECT_EQ(ReadPdf(pdf).size(), 4u);
    EXPECT_THROW(ExportToPdf(grid, dir / "missing" / "a.pdf", "", ""), FileError);
    EXPECT_EQ(test::FolderNames(dir.path()), std::vector<std::string>{"a.pdf"});
}

TEST(SheetPdf, CommandLine) {
    TempDir dir;
    SaveGridToFile(FilledSheet(1995), dir / "a.grd");
    auto run = test::Cli(dir, "pdf " + test::Q(dir / "a.grd") + " " + test::Q(dir / "a.pdf") + " --afm 123456783 --name 'ΠΑΠΑΣ ΝΙΚΟΣ'");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto pages = ReadPdf(test::ReadBytes(dir / "a.pdf"));
    ASSERT_EQ(pages.size(), 6u);
    EXPECT_NE(pages[5].text.find("Υποχρεος : ΠΑΠΑΣ ΝΙΚΟΣ"), std::string::npos);
    EXPECT_NE(pages[5].text.find("Σελίδα 6 από 6"), std::string::npos);

    EXPECT_EQ(test::Cli(dir, "pdf " + test::Q(dir / "a.grd")).status, 2);
    EXPECT_EQ(test::Cli(dir, "pdf " + test::Q(dir / "a.grd") + " x.pdf --afm").status, 2);
    run = test::Cli(dir, "pdf " + test::Q(dir / "none.grd") + " " + test::Q(dir / "b.pdf"));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("none.grd"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "b.pdf"));
}

}  // namespace
}  // namespace skartina
