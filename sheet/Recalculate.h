// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The computed rows of the sheet: income total, minimum living amount,
// expense total, available balance, carried amount, capital consumption used
// and final balance of every year.

#include "sheet/Sheet.h"
#include "sheet/SheetGrid.h"
#include "sheet/SheetRows.h"

#include <stdexcept>
#include <string>

namespace skartina {

// The rows the recalculation writes; every other row is the user's or the portal's.
inline constexpr int kComputedRows[] = {Row::IncomeTotal,      Row::MinimumLivingAmount, Row::ExpenseTotal,
                                        Row::AvailableBalance, Row::CarryAmount,         Row::CapitalConsumptionUsed,
                                        Row::FinalBalance};

// A cell the recalculation cannot read as an amount, or an amount too large to hold.
class SheetError : public std::runtime_error {
public:
    SheetError(const std::string& what, int column, int row)
        : std::runtime_error(what), column_(column), row_(row) {}
    int column() const { return column_; }
    int row() const { return row_; }

private:
    int column_;
    int row_;
};

// Rebuilds every computed cell from the other cells. Throws SheetError at the
// first cell that is not a number, or at a figure too large to hold; cells not
// yet recomputed keep what they held.
void RecalculateSheet(Sheet& sheet);

}  // namespace skartina
