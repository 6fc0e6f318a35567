// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A year's report (from 2014) into the table: its text as printed, the
// client's tax number checked, its entries taken. A report whose text gives
// no entry at all is a year without a return only when it says so; otherwise
// it is not read, for an empty year told as read would be a wrong figure.

#include "e1/E1CodeTable.h"

#include <optional>
#include <string>
#include <string_view>

namespace skartina {

// Why the report could not be read (for the log); nothing when its entries
// are in the table, none when it says the portal has no return for the year.
// Throws RetrievalStop (ReportWithoutTaxNumber) for a text that does not name the
// tax number.
std::optional<std::string> ReadYearReport(std::string_view bytes, int year, const std::string& taxNumber, E1CodeTable& e1);

}  // namespace skartina
