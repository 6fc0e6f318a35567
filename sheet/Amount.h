// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Amounts as the sheet holds them: text with two decimals, "." between
// thousands groups and "," before the decimals ("2.500,00", "-1.234,50").

#include <optional>
#include <string>
#include <string_view>

namespace skartina {

// Rounds as a person and a spreadsheet do: the value taken to 15 significant
// digits, then halves away from zero. A value that rounds to zero is "0,00".
// Throws std::range_error for a value that is not finite.
std::string FormatAmount(double value);

// An optional "-", then digits with any "." (thousands marks, ignored) and at
// most one "," (the decimal comma). Empty text is 0; anything else, or a value
// too large to hold, is not a number.
std::optional<double> ParseAmount(std::string_view text);

}  // namespace skartina
