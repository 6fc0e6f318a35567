// SPDX-License-Identifier: GPL-3.0-or-later
#include "registry/ListRows.h"

#include "common/Codepage.h"
#include "registry/GreekCollation.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace skartina {
void SortGridRows(ListRows& rows, int sortColumn) {
    const GreekCollation& collation = GreekCollation::instance();
    const auto key = [sortColumn](const ListRow& row) -> std::string_view {
        return static_cast<size_t>(sortColumn) < row.size() ? std::string_view(row[sortColumn]) : std::string_view();
    };
    // Each cell turned into its collation key once, then a stable sort on
    // the keys' bytes: a row moves ahead of another only when its cell
    // compares strictly smaller.
    std::vector<std::pair<std::string, size_t>> keys;
    keys.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) keys.emplace_back(collation.sortKey(key(rows[i])), i);
    std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    ListRows sorted;
    sorted.reserve(rows.size());
    for (const auto& entry : keys) sorted.push_back(std::move(rows[entry.second]));
    rows = std::move(sorted);
}

std::optional<size_t> FastSearch(const ListRows& rows, int column, std::string_view text) {
    if (rows.empty()) return std::nullopt;
    // The same order as the sort, or the search stops on a row before the one
    // the user sees further down.
    const GreekCollation& collation = GreekCollation::instance();
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::string_view cell =
            static_cast<size_t>(column) < rows[i].size() ? std::string_view(rows[i][column]) : std::string_view();
        if (collation.startsWith(cell, text) || collation.compare(cell, text) > 0) return i;
    }
    return rows.size() - 1;
}

bool ExtendsFastSearch(std::string_view typed) {
    std::string code;
    try {
        code = Utf8ToCp1253(typed);
    } catch (const EncodingError&) {
        return false;
    }
    if (code.size() != 1) return false;
    const auto ch = static_cast<unsigned char>(code[0]);
    return ch == ' ' || ch == '.' || (ch >= '0' && ch <= '9') || (ch >= 65 && ch <= 249);
}

}  // namespace skartina
