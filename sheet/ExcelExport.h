// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sheet as an Excel workbook laid out for printing: blocks of ten year
// columns one under the other, each with the taxpayer's title rows, amounts
// as numbers, the caption column and the total rows in grey, printed on A4
// landscape one block a page.

#include "sheet/Sheet.h"
#include "sheet/SheetGrid.h"

#include <filesystem>
#include <string>

namespace skartina {

inline constexpr const char* kExcelNumberFormat = "#,##0.00";

// Creates or replaces the .xlsx file with sheet rows 0 to 33 of every column;
// with `withChart`, a second sheet of the balances and their chart. Throws
// FileError when the workbook cannot be written, SheetError for a balance
// that is not an amount.
void ExportToExcel(const Sheet& sheet, const std::filesystem::path& file, const std::string& name,
                   const std::string& taxNumber, bool withChart = false);

}  // namespace skartina
