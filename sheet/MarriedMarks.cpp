// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/MarriedMarks.h"

#include "sheet/SavedAnalysis.h"
#include "sheet/SheetRows.h"

namespace skartina {
namespace {

// A header a file wrote in another form is not the sheet's own: no mark reads it or changes it.
bool OwnHeader(const Sheet& sheet, int column) { return !sheet.cell(column, Row::PersonHeader).kept; }

bool IsSpouseHeader(const Sheet& sheet, int column) {
    return column >= 2 && column < sheet.columnCount() && !IsTaxpayerColumn(column) && OwnHeader(sheet, column);
}

}  // namespace

bool IsMarriedColumn(const Sheet& sheet, int column) {
    const SheetCell& header = sheet.cell(column, Row::PersonHeader);
    if (header.kept) return *header.kept == kMarriedSpouseHeader;
    return sheet.married(column);
}

void ApplyMarriedToAllYears(Sheet& sheet, bool married) {
    for (int c = 2; c < sheet.columnCount(); c += 2)
        if (OwnHeader(sheet, c)) sheet.setMarried(c, married);
}

bool ToggleMarriedMark(Sheet& sheet, int column) {
    if (!IsSpouseHeader(sheet, column)) return false;
    sheet.setMarried(column, !sheet.married(column));
    return true;
}

bool SpouseFiguresWithoutMark(const Sheet& sheet, int spouseColumn) {
    if (!IsSpouseHeader(sheet, spouseColumn) || sheet.married(spouseColumn)) return false;
    for (int r = 0; r < sheet.rowCount(); ++r) {
        if (!IsFigureRow(r)) continue;
        const std::optional<Money>& amount = sheet.cell(spouseColumn, r).amount;
        if (amount && !amount->isZero()) return true;
    }
    return false;
}

}  // namespace skartina
