// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sheet laid out on printed pages, once, for the PDF file and the printer
// alike: the blocks of the workbook (the captions and ten sheet columns, five
// years), one block a page, each under the taxpayer's title rows, on A4
// landscape with 15-point margins. Captions on light grey, year headers and
// totals bold on darker grey, amounts right-aligned, gridlines, and a footer
// with the date and "Σελίδα N από M". Positions are in points from the page's
// top left corner; a text is placed by the left end of its baseline.

#include "sheet/Sheet.h"

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace skartina {

inline constexpr double kPrintPageWidth = 841.89;  // A4 landscape
inline constexpr double kPrintPageHeight = 595.28;
inline constexpr double kPrintMargin = 15;
inline constexpr const char* kPrintFontFamily = "DejaVu Sans";  // has Greek; installed with the program
inline constexpr double kPrintGridWidth = 0.5;
inline constexpr unsigned kPrintGridColor = 0x808080;

struct PrintRect {
    double x, y, width, height;
};

struct PrintText {
    double x, baseline;
    std::string text;
    double size;  // points
    bool bold;
    PrintRect clip;  // its cell: nothing of the text shows outside
    bool cut;        // the text reaches beyond its cell: the drawing must clip it
};

struct PrintFill {
    PrintRect rect;
    unsigned color;  // 0xRRGGBB
};

struct PrintLine {
    double x1, y1, x2, y2;
};

// Drawn in this order: fills, then gridlines, then texts.
struct PrintPage {
    std::vector<PrintFill> fills;
    std::vector<PrintLine> lines;
    std::vector<PrintText> texts;
};

// The advance width, in points, of a text in the print font at a size.
using PrintTextWidth = std::function<double(std::string_view text, double size, bool bold)>;

// The pages of sheet rows 0 to 33, every column, under the titles of the
// name and the tax number; `date` goes into every footer as given. The
// footers count `extraPages` more pages that follow the sheet's.
std::vector<PrintPage> LayOutSheetPages(const Sheet& sheet, const std::string& name, const std::string& taxNumber,
                                        const std::string& date, const PrintTextWidth& width, int extraPages = 0);

std::string PageFooterText(int page, int pages);  // "Σελίδα 1 από 6"

// "10/12/2026": the day of the moment, in local time.
std::string PrintDateText(std::chrono::system_clock::time_point when);

}  // namespace skartina
