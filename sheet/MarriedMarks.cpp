// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/MarriedMarks.h"

#include "sheet/Amount.h"
#include "sheet/SavedAnalysis.h"
#include "sheet/SheetRows.h"

namespace skartina {

bool IsMarriedColumn(const SheetGrid& grid, int column) {
    const std::string& header = grid.cell(column, Row::PersonHeader);
    if (header == kMarriedSpouseHeader) return true;
    if (header == kTaxpayerHeader && column + 1 < grid.columnCount())
        return grid.cell(column + 1, Row::PersonHeader) == kMarriedSpouseHeader;
    return false;
}

void ApplyMarriedToAllYears(SheetGrid& grid, bool married) {
    const std::string_view from = married ? kSpouseHeader : kMarriedSpouseHeader;
    const std::string_view to = married ? kMarriedSpouseHeader : kSpouseHeader;
    for (int c = 1; c < grid.columnCount(); ++c)
        if (grid.cell(c, Row::PersonHeader) == from) grid.setCell(c, Row::PersonHeader, std::string(to));
}

bool ToggleMarriedMark(SheetGrid& grid, int column) {
    const std::string& header = grid.cell(column, Row::PersonHeader);
    if (header == kSpouseHeader)
        grid.setCell(column, Row::PersonHeader, std::string(kMarriedSpouseHeader));
    else if (header == kMarriedSpouseHeader)
        grid.setCell(column, Row::PersonHeader, std::string(kSpouseHeader));
    else
        return false;
    return true;
}

bool SpouseFiguresWithoutMark(const SheetGrid& grid, int spouseColumn) {
    if (spouseColumn < 2 || spouseColumn >= grid.columnCount() || IsTaxpayerColumn(spouseColumn)) return false;
    if (grid.cell(spouseColumn, Row::PersonHeader) != kSpouseHeader) return false;
    for (int r = 0; r < grid.rowCount(); ++r) {
        if (!IsFigureRow(r) || grid.cell(spouseColumn, r).empty()) continue;
        const auto amount = ReadAmount(grid.cell(spouseColumn, r));
        if (amount && !amount->isZero()) return true;
    }
    return false;
}

}  // namespace skartina
