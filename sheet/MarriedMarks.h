#pragma once
// Married years: the spouse column's row 1 reads "Συζύγου*" instead of "Συζύγου".

#include "sheet/SheetGrid.h"

namespace skartina {

// Decided from the column's own row 1; a taxpayer column looks at its spouse column.
bool IsMarriedColumn(const SheetGrid& grid, int column);

// Marks (or clears) every year's spouse header; other texts stay.
void ApplyMarriedToAllYears(SheetGrid& grid, bool married);

// Switches the mark of a spouse header in row 1; returns false when the cell is no spouse header.
bool ToggleMarriedMark(SheetGrid& grid, int column);

}  // namespace skartina
