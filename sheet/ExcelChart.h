// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The workbook's sheet of the balance chart: the balances year by year as a
// table, and beside it a column chart per person drawn from it.

#include "sheet/BalanceSeries.h"

#include <xlsxwriter.h>

namespace skartina {

inline constexpr const char* kExcelChartSheetName = "Διάγραμμα";

// Adds the sheet to the workbook, after the sheets it holds.
lxw_error AddBalanceChartSheet(lxw_workbook* workbook, const BalanceSeries& series, lxw_format* amountFormat);

}  // namespace skartina
