// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A year's E1 amounts turned into its figures in the sheet.

#include "e1/E1CodeTable.h"
#include "sheet/Sheet.h"
#include "sheet/SheetGrid.h"

namespace skartina {

// Runs every income, presumption and acquisition rule of the year in their
// fixed order, each publishing into the year's two columns at once. The
// house rule keeps its per-house results in codes 115 to 120. Throws
// E1RangeError at a house value out of range (what was published stays), and
// std::out_of_range when the sheet has no columns for the year.
void RunYearRules(E1CodeTable& e1, Sheet& sheet, int year);

}  // namespace skartina
