// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Married years: the spouse column's row 1 reads "Συζύγου*" instead of "Συζύγου".

#include "sheet/Sheet.h"
#include "sheet/SheetGrid.h"

namespace skartina {

// Decided from the column's own row 1; a taxpayer column looks at its spouse column.
bool IsMarriedColumn(const Sheet& sheet, int column);

// Marks (or clears) every year's spouse header; other texts stay.
void ApplyMarriedToAllYears(Sheet& sheet, bool married);

// Switches the mark of a spouse header in row 1; returns false when the cell is no spouse header.
bool ToggleMarriedMark(Sheet& sheet, int column);

// Whether the year of a spouse column holds spouse figures (an income, a
// presumption or an expense in the spouse column) but carries no married
// mark: a hint for the user, who alone decides the mark.
bool SpouseFiguresWithoutMark(const Sheet& sheet, int spouseColumn);

}  // namespace skartina
