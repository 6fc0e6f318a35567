// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How each computed row of the sheet is computed, in one short Greek
// sentence: the hint the window shows over the row.

#include <string_view>

namespace skartina {

// Empty for a row that is not computed.
std::string_view ComputedRowHint(int row);

}  // namespace skartina
