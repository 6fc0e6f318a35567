// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Amounts typed into the sheet by hand: the cell last typed into is brought
// into amount form when the user moves on, and the sheet is recalculated.

#include "sheet/Amount.h"
#include "sheet/Sheet.h"

#include <optional>
#include <string>
#include <string_view>

namespace skartina {

struct CellPos {
    int column = -1;
    int row = -1;
    bool operator==(const CellPos&) const = default;
};

// An amount as a person types it. "," is the decimal comma; a "." followed
// by exactly three digits is a thousands point, and a last "." followed by one
// or two final digits is the decimal comma typed with the other key (or the
// numeric keypad's decimal key under an English layout): "1234.5", "1.234,5"
// and "1234,5" all read 1234,5, "1.234" reads 1234. Everything else, at most
// two decimals, is not one amount: nothing, never a value ten or a hundred
// times off. Blanks around the text are ignored; an amount beyond
// kLargestMoney is refused.
std::optional<Money> ReadTypedMoney(std::string_view text);

// The typed text in the sheet's form: "" for empty text, the amount as
// WriteAmount writes it, or nothing when the text is not one amount.
std::optional<std::string> NormalizeTypedAmount(std::string_view text);

// The one sentence that tells the user a typed text was refused.
std::string RefusedAmountSentence(std::string_view typed, std::string_view kept);

// The typing into the window's sheet: while the user types, a cell holds the
// typed text; it becomes an amount, or gets its cell back, when the user moves on.
class HandEntry {
public:
    // The text in a cell's editor is about to change; the sheet still holds
    // the cell from before, which comes back if the typed text is refused.
    void textEdited(const Sheet& sheet, CellPos cell);

    // The grid was clicked or its current cell moved. Normalises the cell
    // last typed into when the user has left it (a text that is not one
    // amount gives the cell back its text from before the typing); returns
    // true when the sheet is to be recalculated.
    bool currentCellReached(Sheet& sheet, CellPos current);

    // A command reads the sheet while the user may still be in the cell typed
    // into: that cell is brought into amount form now, and nothing counts as
    // typed any more. Returns true when the sheet is to be recalculated.
    bool finish(Sheet& sheet);

    // A typed text that was not one amount, last seen by the two calls above;
    // taken once.
    struct Refusal {
        CellPos cell;
        std::string typed;
        std::string kept;  // what the cell holds again
    };
    std::optional<Refusal> takeRefusal();

    // After the layout is built nothing counts as typed.
    void reset() {
        lastEdit_ = {};
        refusal_.reset();
    }
    CellPos lastEdit() const { return lastEdit_; }

private:
    void follow(const Sheet& sheet, CellPos cell);
    void normalize(Sheet& sheet);

    CellPos lastEdit_;
    std::optional<Refusal> refusal_;
    SheetCell before_;  // lastEdit_ before it was typed into
};

}  // namespace skartina
