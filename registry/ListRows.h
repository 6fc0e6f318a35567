// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rows of a pick-list (the taxpayer and the analysis list) as text, and
// what the lists do with them: sort, type-ahead search.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skartina {

using ListRow = std::vector<std::string>;  // one cell per column
using ListRows = std::vector<ListRow>;     // the data rows, without the header row

// Orders the rows by the cells of the column, case-insensitively by Greek
// rules; rows with equal cells keep their order. Whole rows move.
void SortGridRows(ListRows& rows, int sortColumn);

// The row the type-ahead search lands on, for rows in the order SortGridRows
// gives them: the first whose cell begins with the text (case and accents
// aside) or sorts after it; the last row when none does. None for no rows.
std::optional<size_t> FastSearch(const ListRows& rows, int column, std::string_view text);

// Whether a character typed in the grid goes into the search field: a blank,
// ".", a digit, or a character with a code from 65 to 249 in the Greek code
// page (the Latin and Greek letters, but not ό, ύ, ώ, ϊ, ϋ). `typed` is one
// character in UTF-8.
bool ExtendsFastSearch(std::string_view typed);

}  // namespace skartina
