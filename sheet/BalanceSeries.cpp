// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/BalanceSeries.h"

#include "sheet/Amount.h"
#include "sheet/MarriedMarks.h"
#include "sheet/Recalculate.h"
#include "sheet/SavedAnalysis.h"
#include "sheet/SheetRows.h"

#include <algorithm>
#include <cmath>

namespace skartina {
namespace {

constexpr double kMostCents = 9.0e18;  // below the reach of std::int64_t

std::int64_t CentsAt(const SheetGrid& grid, int column, int row) {
    const std::string& text = grid.cell(column, row);
    const auto value = ParseAmount(text);
    if (!value) throw SheetError("Το κείμενο «" + text + "» δεν είναι έγκυρος αριθμός (" + DescribeCell(column, row) + ").",
                                 column, row);
    const double cents = std::round(*value * 100);
    if (std::fabs(cents) >= kMostCents)
        throw SheetError("Το ποσό είναι εκτός ορίων (" + DescribeCell(column, row) + ").", column, row);
    return static_cast<std::int64_t>(cents);
}

PersonBalance BalanceAt(const SheetGrid& grid, int column) {
    if (column >= grid.columnCount()) return {};
    return {CentsAt(grid, column, Row::AvailableBalance), CentsAt(grid, column, Row::FinalBalance)};
}

}  // namespace

BalanceSeries ReadBalanceSeries(const SheetGrid& grid) {
    BalanceSeries series;
    const std::vector<int> filled = YearsWithFigures(grid);
    for (int t = grid.columnCount() % 2 == 1 ? grid.columnCount() - 2 : grid.columnCount() - 1; t >= 1; t -= 2) {
        YearBalance year;
        year.year = YearOfColumn(t);
        year.taxpayer = BalanceAt(grid, t);
        year.spouse = BalanceAt(grid, t + 1);
        year.hasFigures = std::find(filled.begin(), filled.end(), year.year) != filled.end();
        if (t + 1 < grid.columnCount())
            series.hasSpouse = series.hasSpouse || IsMarriedColumn(grid, t + 1) || SpouseFiguresWithoutMark(grid, t + 1);
        series.years.push_back(year);
    }
    return series;
}

}  // namespace skartina
