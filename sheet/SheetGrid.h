// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The capital-consumption sheet: a rectangle of text cells. Column 0 holds the
// row captions; each year has a taxpayer column and a spouse column, newest
// year first.

#include "common/Edition.h"

#include <string>
#include <vector>

namespace skartina {

inline constexpr int kSheetRows = 40;
inline constexpr int kOldestBoxYear = 2000;  // the oldest year with a year box
inline constexpr int kOldestYear = 1991;     // the oldest year the first-year field can add
inline constexpr int kLastOldRulesYear = 2011;

// Whose column: each year has one of each.
enum class Person { Taxpayer, Spouse };

inline constexpr int TaxpayerColumnOf(int year) { return (kNewestYear - year) * 2 + 1; }
inline constexpr int SpouseColumnOf(int year) { return (kNewestYear - year) * 2 + 2; }
inline constexpr int YearOfColumn(int column) { return kNewestYear - (column - 1) / 2; }
inline constexpr bool IsTaxpayerColumn(int column) { return column % 2 == 1; }

class SheetGrid {
public:
    explicit SheetGrid(int columns = 1, int rows = kSheetRows);

    int columnCount() const { return static_cast<int>(columns_.size()); }
    int rowCount() const { return rows_; }
    // Added cells are empty; the cells of removed columns are gone.
    void setColumnCount(int columns);
    void setRowCount(int rows);

    // Throws std::out_of_range outside the sheet.
    const std::string& cell(int column, int row) const;
    void setCell(int column, int row, std::string text);

    bool operator==(const SheetGrid&) const = default;

private:
    int rows_;
    std::vector<std::vector<std::string>> columns_;  // columns_[column][row]
};

}  // namespace skartina
