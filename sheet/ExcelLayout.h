// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the workbook export puts each cell of the sheet, and in what form:
// the sheet's columns are cut into blocks that lie one under the other, 38
// worksheet rows apart, so that every printed block stays narrow. Block 1
// holds the captions and sheet columns 1 to 10; each later block the next 10
// sheet columns, with the captions repeated in its column A. Worksheet rows
// and columns are counted from 0 here (row 0, column 0 is A1).

#include "sheet/Sheet.h"

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace skartina {

inline constexpr int kExcelBlockRows = 38;
inline constexpr int kExcelTitleRows = 3;
inline constexpr int kExcelLastTitleColumn = 12;    // M
inline constexpr int kExcelLastNameTitleColumn = 3;  // D: the name's part of the first title row

inline constexpr int ExcelBlockOf(int sheetColumn) { return sheetColumn <= 10 ? 0 : (sheetColumn - 1) / 10; }
inline constexpr int ExcelBlockCount(int sheetColumns) { return ExcelBlockOf(sheetColumns - 1) + 1; }
// The first of a block's own sheet columns (block 0 begins with the captions).
inline constexpr int ExcelBlockFirstColumn(int block) { return block == 0 ? 0 : block * 10 + 1; }
inline constexpr int ExcelBlockTitleRow(int block) { return block * kExcelBlockRows; }

struct ExcelPlace {
    int row;
    int column;
    bool operator==(const ExcelPlace&) const = default;
};

// The worksheet cell of a sheet cell (sheet row 0 to 33).
inline constexpr ExcelPlace ExcelPlaceOf(int sheetColumn, int sheetRow) {
    const int block = ExcelBlockOf(sheetColumn);
    const int column = block == 0 ? sheetColumn : 1 + sheetColumn - ExcelBlockFirstColumn(block);
    return {ExcelBlockTitleRow(block) + kExcelTitleRows + sheetRow, column};
}

// A sheet cell as the workbook holds it: nothing for an empty cell, a number
// for an amount, the text itself otherwise (captions keep their dots and
// commas, and a text a file held in place of an amount stays as it was).
using ExcelValue = std::variant<std::monostate, double, std::string>;
ExcelValue ExcelValueOf(const Sheet& sheet, int column, int row);
// The same for a cell's text: a number only for an amount written in its own form ("2.500,00").
ExcelValue ExcelValueOf(const std::string& text);

// The background of a worksheet cell of the sheet: the captions' column light
// grey, the rows of the year headers and the totals darker grey.
enum class ExcelFill { None, Caption, Total };
ExcelFill ExcelFillOf(int worksheetColumn, int sheetRow);
inline constexpr unsigned kCaptionGrey = 0xE6E6E6;  // RGB(230, 230, 230)
inline constexpr unsigned kTotalGrey = 0xC8C8C8;    // RGB(200, 200, 200)

// Printing: A4 landscape, every block on a page of its own: a page break
// before the title rows of every block after the first, and the width fitted
// to one page (as many pages tall as the breaks make). A fixed print scale
// would depend on the fonts of the program that prints: without the
// workbook's default font the columns come out wider and the fifth year of
// every block falls onto a page of its own.
inline constexpr int kExcelPaperA4 = 9;
inline constexpr double kExcelPrintMargin = 15;  // points
inline constexpr double kExcelRowHeight = 11.25;  // points: what the workbook gives a row of 8-point text

// The rows (0-based) that begin a new printed page.
std::vector<int> ExcelPageBreaks(int sheetColumns);

// The width, in the workbook's character units, that fits the texts as shown
// in the 8-point default font; there is no spreadsheet here to measure them.
class ColumnFit {
public:
    void add(std::string_view shownText);
    bool empty() const { return widestPixels_ == 0; }
    double width() const;

private:
    double widestPixels_ = 0;
};

}  // namespace skartina
