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

bool HandEntry::currentCellReached(SheetGrid& grid, CellPos current) {
    if (lastEdit_ == CellPos{}) return false;
    if (lastEdit_ != current) {
        const bool inSheet = lastEdit_.column >= 1 && lastEdit_.column < grid.columnCount() && lastEdit_.row >= 2 &&
                             lastEdit_.row < grid.rowCount();
        // Only amount cells are typed into; headers and captions are never rewritten.
        if (inSheet) {
            const std::string& text = grid.cell(lastEdit_.column, lastEdit_.row);
            if (!text.empty()) grid.setCell(lastEdit_.column, lastEdit_.row, NormalizeTypedAmount(text));
        }
        lastEdit_ = current;
    }
    return true;
}

}  // namespace skartina
