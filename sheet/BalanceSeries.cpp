// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/BalanceSeries.h"

#include "sheet/MarriedMarks.h"
#include "sheet/Recalculate.h"
#include "sheet/SavedAnalysis.h"
#include "sheet/SheetRows.h"

#include <algorithm>

namespace skartina {
namespace {

std::int64_t CentsAt(const Sheet& sheet, int column, int row) {
    const std::optional<Money> value = sheet.figure(column, row);
    if (!value)
        throw SheetError("Το κείμενο «" + CellText(sheet, column, row) + "» δεν είναι έγκυρος αριθμός (" +
                             DescribeCell(column, row) + ").",
                         column, row);
    return value->cents();
}

PersonBalance BalanceAt(const Sheet& sheet, int column) {
    if (column >= sheet.columnCount()) return {};
    return {CentsAt(sheet, column, Row::AvailableBalance), CentsAt(sheet, column, Row::FinalBalance)};
}

}  // namespace

BalanceSeries ReadBalanceSeries(const Sheet& sheet) {
    BalanceSeries series;
    const int columns = sheet.columnCount();
    const std::vector<int> filled = YearsWithFigures(sheet);
    for (int t = columns % 2 == 1 ? columns - 2 : columns - 1; t >= 1; t -= 2) {
        YearBalance year;
        year.year = YearOfColumn(t);
        year.taxpayer = BalanceAt(sheet, t);
        year.spouse = BalanceAt(sheet, t + 1);
        year.hasFigures = std::find(filled.begin(), filled.end(), year.year) != filled.end();
        if (t + 1 < columns)
            series.hasSpouse = series.hasSpouse || IsMarriedColumn(sheet, t + 1) || SpouseFiguresWithoutMark(sheet, t + 1);
        series.years.push_back(year);
    }
    return series;
}

}  // namespace skartina
