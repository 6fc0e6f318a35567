// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/PrintLayout.h"

#include "sheet/ExcelLayout.h"
#include "sheet/ExportTitles.h"
#include "sheet/SheetRows.h"

#include <algorithm>
#include <ctime>

namespace skartina {
namespace {

constexpr double kPrintableWidth = kPrintPageWidth - 2 * kPrintMargin;
constexpr double kRowHeight = 14;
constexpr double kCellFontSize = 8;
constexpr double kSmallestFontSize = 5;  // below it a text is cut at its cell's edge instead
constexpr double kTitleFontSize = 9;
constexpr double kHeadingFontSize = 10;
constexpr double kPadding = 2;  // between a cell's edge and its text
constexpr int kYearSlots = 10;  // sheet columns a block holds beside the captions
constexpr int kNameTitleSlots = kExcelLastNameTitleColumn + 1;  // the name's part of the first title row

// The baseline that centres digits and capitals in a row.
double BaselineIn(double top, double height, double size) { return top + height / 2 + 0.36 * size; }

// The widths of the caption column and of a year column, the same on every page.
struct ColumnWidths {
    double caption;
    double year;
    double fontSize;
};

ColumnWidths FitColumns(const Sheet& sheet, int rows, const PrintTextWidth& width) {
    double caption = 0, year = 0;
    for (int r = 0; r < rows; ++r) {
        const bool bold = IsTotalRow(r);
        caption = std::max(caption, width(sheet.caption(r), kCellFontSize, bold));
        for (int c = 1; c < sheet.columnCount(); ++c) {
            std::string text = CellText(sheet, c, r);
            if (r == Row::YearHeader) {
                // The bare year, over both columns of the year.
                if (!IsTaxpayerColumn(c)) continue;
                std::erase(text, '_');
                year = std::max(year, width(text, kCellFontSize, bold) / 2);
            } else {
                year = std::max(year, width(text, kCellFontSize, bold));
            }
        }
    }
    caption += 2 * kPadding;
    year += 2 * kPadding;

    // A full block fits the page's width: smaller text where the widest texts
    // need it, wider year columns where they leave room.
    const double natural = caption + kYearSlots * year;
    const double scale = std::max(std::min(1.0, kPrintableWidth / natural), kSmallestFontSize / kCellFontSize);
    caption *= scale;
    caption = std::min(caption, kPrintableWidth / 2);
    year = (kPrintableWidth - caption) / kYearSlots;
    return {caption, year, kCellFontSize * scale};
}

class PageBuilder {
public:
    PageBuilder(const ColumnWidths& widths, const PrintTextWidth& width) : widths_(widths), width_(width) {}

    double slotLeft(int slot) const {
        return slot == 0 ? kPrintMargin : kPrintMargin + widths_.caption + (slot - 1) * widths_.year;
    }
    double slotWidth(int slot) const { return slot == 0 ? widths_.caption : widths_.year; }

    void left(PrintRect cell, const std::string& text, double size, bool bold) {
        place(cell, text, size, bold, [&](double) { return cell.x + kPadding; });
    }
    void right(PrintRect cell, const std::string& text, double size, bool bold) {
        place(cell, text, size, bold, [&](double w) { return cell.x + cell.width - kPadding - w; });
    }
    void centre(PrintRect cell, const std::string& text, double size, bool bold) {
        place(cell, text, size, bold, [&](double w) { return cell.x + (cell.width - w) / 2; });
    }

    void fill(PrintRect rect, unsigned color) { page_.fills.push_back({rect, color}); }
    void line(double x1, double y1, double x2, double y2) { page_.lines.push_back({x1, y1, x2, y2}); }

    PrintPage take() { return std::move(page_); }

private:
    template <typename Left>
    void place(PrintRect cell, const std::string& text, double size, bool bold, Left leftFor) {
        if (text.empty()) return;
        const double w = width_(text, size, bold);
        const double x = leftFor(w);
        const bool cut = x < cell.x || x + w > cell.x + cell.width;
        page_.texts.push_back({x, BaselineIn(cell.y, cell.height, size), text, size, bold, cell, cut});
    }

    ColumnWidths widths_;
    const PrintTextWidth& width_;
    PrintPage page_;
};

unsigned ColorOf(ExcelFill fill) {
    switch (fill) {
    case ExcelFill::Caption: return kCaptionGrey;
    case ExcelFill::Total: return kTotalGrey;
    case ExcelFill::None: break;
    }
    return 0xFFFFFF;
}

// The page of one block: its sheet columns in the slots the workbook gives them.
PrintPage LayOutBlock(const Sheet& sheet, int rows, int block, const std::string& name, const std::string& taxNumber,
                      const ColumnWidths& widths, const PrintTextWidth& width) {
    PageBuilder page(widths, width);
    std::vector<int> columns;
    columns.push_back(0);
    const int first = block == 0 ? 1 : ExcelBlockFirstColumn(block);
    for (int c = first; c < sheet.columnCount() && ExcelBlockOf(c) == block; ++c) columns.push_back(c);
    const auto slotOf = [](int column) { return ExcelPlaceOf(column, 0).column; };
    const double fullRight = page.slotLeft(kYearSlots + 1);
    const double right = columns.empty() ? kPrintMargin : page.slotLeft(slotOf(columns.back())) + widths.year;

    // The title rows, as wide as a full block whatever this block holds.
    const double nameRight = page.slotLeft(kNameTitleSlots);
    page.left({kPrintMargin, kPrintMargin, nameRight - kPrintMargin, kRowHeight}, TaxpayerTitle(name), kTitleFontSize,
              false);
    page.left({nameRight, kPrintMargin, fullRight - nameRight, kRowHeight}, TaxNumberTitle(taxNumber), kTitleFontSize, false);
    page.centre({kPrintMargin, kPrintMargin + kRowHeight, fullRight - kPrintMargin, kRowHeight},
                std::string(kExportHeading), kHeadingFontSize, true);

    const double top = kPrintMargin + kExcelTitleRows * kRowHeight;
    for (int r = 0; r < rows; ++r) {
        const double y = top + r * kRowHeight;
        const bool bold = IsTotalRow(r);
        // Backgrounds, a run of equal neighbours as one rectangle.
        for (size_t i = 0; i < columns.size();) {
            const ExcelFill fill = ExcelFillOf(slotOf(columns[i]), r);
            size_t end = i + 1;
            while (end < columns.size() && ExcelFillOf(slotOf(columns[end]), r) == fill) ++end;
            if (fill != ExcelFill::None) {
                const double x = page.slotLeft(slotOf(columns[i]));
                page.fill({x, y, page.slotLeft(slotOf(columns[end - 1])) + page.slotWidth(slotOf(columns[end - 1])) - x,
                           kRowHeight},
                          ColorOf(fill));
            }
            i = end;
        }
        for (const int c : columns) {
            const int slot = slotOf(c);
            const PrintRect cell{page.slotLeft(slot), y, page.slotWidth(slot), kRowHeight};
            const std::string text = CellText(sheet, c, r);
            if (c == 0) {
                page.left(cell, text, widths.fontSize, bold);
            } else if (r == Row::YearHeader) {
                // The bare year, centred over the year's two columns.
                if (!IsTaxpayerColumn(c)) continue;
                const bool pair = c + 1 < sheet.columnCount();
                std::string year = text;
                std::erase(year, '_');
                page.centre({cell.x, y, pair ? 2 * cell.width : cell.width, kRowHeight}, year, widths.fontSize, bold);
            } else if (r == Row::PersonHeader) {
                page.centre(cell, text, widths.fontSize, bold);
            } else {
                page.right(cell, text, widths.fontSize, bold);
            }
        }
    }

    // Gridlines around every cell; none between the two columns of a year in the year's row.
    const double bottom = top + rows * kRowHeight;
    if (!columns.empty() && rows > 0) {
        for (int r = 0; r <= rows; ++r) page.line(kPrintMargin, top + r * kRowHeight, right, top + r * kRowHeight);
        page.line(kPrintMargin, top, kPrintMargin, bottom);
        for (const int c : columns) {
            const double x = page.slotLeft(slotOf(c)) + page.slotWidth(slotOf(c));
            const bool insideYear = c > 0 && IsTaxpayerColumn(c) && c + 1 < sheet.columnCount();
            page.line(x, insideYear ? top + kRowHeight : top, x, bottom);
        }
    }
    return page.take();
}

}  // namespace

std::vector<PrintPage> LayOutSheetPages(const Sheet& sheet, const std::string& name, const std::string& taxNumber,
                                        const std::string& date, const PrintTextWidth& width, int extraPages) {
    const int rows = std::min(kExportedRows, sheet.rowCount());
    const ColumnWidths widths = FitColumns(sheet, rows, width);
    const int blocks = ExcelBlockCount(sheet.columnCount());
    std::vector<PrintPage> pages;
    for (int block = 0; block < blocks; ++block) {
        pages.push_back(LayOutBlock(sheet, rows, block, name, taxNumber, widths, width));
        // The footer, on the bottom margin's edge.
        PageBuilder footer(widths, width);
        const PrintRect line{kPrintMargin, kPrintPageHeight - kPrintMargin - kRowHeight, kPrintableWidth, kRowHeight};
        footer.left(line, date, kCellFontSize, false);
        footer.right(line, PageFooterText(block + 1, blocks + extraPages), kCellFontSize, false);
        for (auto& text : footer.take().texts) pages.back().texts.push_back(std::move(text));
    }
    return pages;
}

std::string PageFooterText(int page, int pages) {
    return "Σελίδα " + std::to_string(page) + " από " + std::to_string(pages);
}

std::string PrintDateText(std::chrono::system_clock::time_point when) {
    const std::time_t time = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_r(&time, &local);
    char text[16];
    std::strftime(text, sizeof text, "%d/%m/%Y", &local);
    return text;
}

}  // namespace skartina
