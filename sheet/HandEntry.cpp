#include "sheet/HandEntry.h"

#include "common/TextTrim.h"
#include "sheet/Amount.h"

namespace skartina {

std::string NormalizeTypedAmount(std::string_view text) {
    text = TrimBlanks(text);
    if (text.empty()) return {};
    const auto value = ParseAmount(text);
    return value ? FormatAmount(*value) : std::string();
}

namespace {

void NormalizeCell(SheetGrid& grid, CellPos cell) {
    const bool inSheet =
        cell.column >= 1 && cell.column < grid.columnCount() && cell.row >= 2 && cell.row < grid.rowCount();
    // Only amount cells are typed into; headers and captions are never rewritten.
    if (!inSheet) return;
    const std::string& text = grid.cell(cell.column, cell.row);
    if (!text.empty()) grid.setCell(cell.column, cell.row, NormalizeTypedAmount(text));
}

}  // namespace

bool HandEntry::currentCellReached(SheetGrid& grid, CellPos current) {
    if (lastEdit_ == CellPos{}) return false;
    if (lastEdit_ != current) {
        NormalizeCell(grid, lastEdit_);
        lastEdit_ = current;
    }
    return true;
}

bool HandEntry::finish(SheetGrid& grid) {
    if (lastEdit_ == CellPos{}) return false;
    NormalizeCell(grid, lastEdit_);
    lastEdit_ = {};
    return true;
}

}  // namespace skartina
