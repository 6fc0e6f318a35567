// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/ExcelLayout.h"

#include "sheet/Amount.h"
#include "sheet/SheetRows.h"

#include <algorithm>
#include <cmath>
#include <unicode/utf8.h>

namespace skartina {
namespace {

// Advance widths of the default font (Calibri) at 11 points, in pixels at
// 96 dpi, by kind of character; the export uses 8 points.
double Advance11(UChar32 c) {
    static constexpr std::u32string_view narrow = U" .,:;'!|()-/iljtfrIJιίϊΐ";
    static constexpr std::u32string_view wide = U"MWmwΜΩΨΦΔΘΞωψφμ%@";
    if (c < 0) return 7;
    if (narrow.find(static_cast<char32_t>(c)) != std::u32string_view::npos) return 3.5;
    if (wide.find(static_cast<char32_t>(c)) != std::u32string_view::npos) return 11;
    if ((c >= 'A' && c <= 'Z') || (c >= 0x0386 && c <= 0x03AB)) return 8;
    return 7;  // digits and the other small letters
}

constexpr double kFontScale = 8.0 / 11.0;
constexpr double kPixelsPerUnit = 7;  // the width of "0" in the default font
constexpr double kSparePixels = 2;    // the workbook adds its own cell padding on top of this

}  // namespace

namespace {

double Number(Money amount) { return static_cast<double>(amount.cents()) / 100; }

}  // namespace

ExcelValue ExcelValueOf(const Sheet& sheet, int column, int row) {
    if (column >= 1 && row >= Row::Spacer) {
        const SheetCell& cell = sheet.cell(column, row);
        if (cell.amount && !cell.kept) return Number(*cell.amount);
    }
    std::string text = CellText(sheet, column, row);
    if (text.empty()) return std::monostate{};
    return text;
}

ExcelValue ExcelValueOf(const std::string& text) {
    if (text.empty()) return std::monostate{};
    if (const auto amount = ReadAmount(text); amount && IsWrittenAmount(text, *amount)) return Number(*amount);
    return text;
}

ExcelFill ExcelFillOf(int worksheetColumn, int sheetRow) {
    if (IsTotalRow(sheetRow)) return ExcelFill::Total;
    return worksheetColumn == 0 ? ExcelFill::Caption : ExcelFill::None;
}

std::vector<int> ExcelPageBreaks(int sheetColumns) {
    std::vector<int> breaks;
    for (int block = 1; block < ExcelBlockCount(sheetColumns); ++block) breaks.push_back(ExcelBlockTitleRow(block));
    return breaks;
}

void ColumnFit::add(std::string_view shownText) {
    double pixels = 0;
    int32_t i = 0;
    const auto length = static_cast<int32_t>(shownText.size());
    while (i < length) {
        UChar32 c = 0;
        U8_NEXT(shownText.data(), i, length, c);
        pixels += Advance11(c) * kFontScale;
    }
    widestPixels_ = std::max(widestPixels_, pixels);
}

double ColumnFit::width() const {
    // Rounded up, so that the estimate errs towards room.
    return std::ceil(widestPixels_ + kSparePixels) / kPixelsPerUnit;
}

}  // namespace skartina
