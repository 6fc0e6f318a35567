#pragma once
// Amounts typed into the sheet by hand: the cell last typed into is brought
// into amount form when the user moves on, and the sheet is recalculated.

#include "sheet/SheetGrid.h"

#include <string>
#include <string_view>

namespace skartina {

struct CellPos {
    int column = -1;
    int row = -1;
    bool operator==(const CellPos&) const = default;
};

// "1234,5" and "1.234,5" give "1.234,50"; "12.5" gives "125,00" (a dot is
// always a thousands mark); text that is not a number gives "".
std::string NormalizeTypedAmount(std::string_view text);

class HandEntry {
public:
    // The text in a cell's editor changed.
    void textEdited(CellPos cell) { lastEdit_ = cell; }

    // The grid was clicked or its current cell moved. Normalises the cell
    // last typed into when the user has left it; returns true when the sheet
    // is to be recalculated.
    bool currentCellReached(SheetGrid& grid, CellPos current);

    // A command reads the sheet while the user may still be in the cell typed
    // into: that cell is brought into amount form now, and nothing counts as
    // typed any more. Returns true when the sheet is to be recalculated.
    bool finish(SheetGrid& grid);

    // After the layout is built nothing counts as typed.
    void reset() { lastEdit_ = {}; }
    CellPos lastEdit() const { return lastEdit_; }

private:
    CellPos lastEdit_;
};

}  // namespace skartina
