// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The yearly report's text: entries of a three-digit code, a colon and an
// amount ("301: 1.234,56"), any number of them on a line among other words.

#include "e1/E1CodeTable.h"

#include <optional>
#include <string>
#include <string_view>

namespace skartina {

// An amount in the portal's notation ("." between thousands, "," before the
// decimals), read as the sheet reads amounts (to the cent) and handed to the
// code table, whose rules compute in floating point; empty text or anything
// else is no amount.
std::optional<double> ParsePortalAmount(std::string_view text);

// Stores every entry of the text in the table (a later entry of a code wins);
// codes above 1000 and amounts that do not read are skipped. From 2015 codes
// 115 and 117 are stored as 515 and 517. Returns the number of entries stored.
size_t ParseReportText(std::string_view text, int year, E1CodeTable& e1);

// Whether the report says that the portal has no return for its year
// ("Δεν υπάρχει δήλωση", in capitals or not). A report without any entry that
// does not say so is not read as a year without a return.
bool ReportSaysNoReturn(std::string_view text);

// The year a report is of, as its heading names it ("Οικονομικό Έτος: 2015",
// "ΟΙΚΟΝΟΜΙΚΟΥ ΕΤΟΥΣ 2016"); nothing when it names none.
std::optional<int> ReportYear(std::string_view text);

}  // namespace skartina
