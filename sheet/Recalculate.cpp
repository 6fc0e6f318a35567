// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/Recalculate.h"

#include "sheet/Amount.h"
#include "sheet/MarriedMarks.h"
#include "sheet/SheetRows.h"

#include <cmath>
#include <utility>

namespace skartina {
namespace {

constexpr double kOldYearMinimum = 2900.0;

bool IsOldYear(int column) { return YearOfColumn(column) <= kLastOldRulesYear; }

double Amount(const SheetGrid& grid, int column, int row) {
    const std::string& text = grid.cell(column, row);
    if (auto value = ParseAmount(text)) return *value;
    throw SheetError("Το κείμενο «" + text + "» δεν είναι έγκυρος αριθμός (" +
                         DescribeCell(column, row) + ").",
                     column, row);
}

double Sum(const SheetGrid& grid, int column, int firstRow, int lastRow) {
    double sum = 0;
    for (int r = firstRow; r <= lastRow; ++r) sum += Amount(grid, column, r);
    return sum;
}

enum class Zero { Shown, Empty };

void Put(SheetGrid& grid, int column, int row, double value, Zero zero) {
    if (!std::isfinite(value))
        throw SheetError("Το ποσό είναι εκτός ορίων (" + DescribeCell(column, row) + ").", column, row);
    grid.setCell(column, row, zero == Zero::Empty && value == 0 ? std::string() : FormatAmount(value));
}

std::string MinimumLivingText(bool taxpayer, bool married, bool oldYear, const std::string& current) {
    if (taxpayer) {
        if (oldYear) return "2.900,00";
        return married ? "2.500,00" : "3.000,00";
    }
    if (!married) return {};
    return oldYear ? current : "2.500,00";
}

void IncomeAndExpenses(SheetGrid& grid, int c) {
    const bool taxpayer = IsTaxpayerColumn(c);
    const bool oldYear = IsOldYear(c);

    const double income = Sum(grid, c, Row::TaxedIncome, Row::AuditIncome);
    Put(grid, c, Row::IncomeTotal, income, Zero::Shown);

    grid.setCell(c, Row::MinimumLivingAmount,
                 MinimumLivingText(taxpayer, IsMarriedColumn(grid, c), oldYear,
                                   grid.cell(c, Row::MinimumLivingAmount)));
    const double minimum = Amount(grid, c, Row::MinimumLivingAmount);

    const double presumptions = Sum(grid, c, Row::HousePresumption, Row::DomesticStaffPresumption);
    const double acquisitions = Sum(grid, c, Row::PresumptionSurcharge, Row::LoanRepayment);
    double expenses;
    if (!oldYear) {
        expenses = presumptions + acquisitions + minimum;
    } else {
        // Before 2012 the minimum takes the place of the presumptions when the
        // couple's presumptions fall short of it.
        const bool hasSpouseColumn = taxpayer && c + 1 < grid.columnCount();
        const double spousePresumptions =
            hasSpouseColumn ? Sum(grid, c + 1, Row::HousePresumption, Row::DomesticStaffPresumption) : 0.0;
        expenses = presumptions + spousePresumptions >= minimum ? acquisitions + presumptions
                                                                : acquisitions + minimum;
    }
    Put(grid, c, Row::ExpenseTotal, expenses, Zero::Empty);
    Put(grid, c, Row::AvailableBalance, income - expenses, Zero::Empty);
}

std::pair<double, double> CarriedAmounts(double x, double y, bool oldYear) {
    if (!oldYear) return x + y >= 0 ? std::pair{x, y} : std::pair{0.0, 0.0};
    const double m = kOldYearMinimum;
    if (x >= 0 && y >= 0) return {x, y};
    if (x >= 0) {
        if (x + y > 0) return {x, y};
        return x >= m ? std::pair{-m, 0.0} : std::pair{x, x - m};
    }
    if (y >= 0) return x + y > 0 || x >= -m ? std::pair{x, y} : std::pair{-m, y};
    return x > -m ? std::pair{x, -m - x} : std::pair{-m, 0.0};
}

std::pair<double, double> ConsumptionUsed(double x, double y, double kt, double ks) {
    double ut = 0;
    double us = 0;
    if (x >= 0 && y < 0) {
        if (x + y < 0) {
            const double gap = std::fabs(x + y);
            us = ks >= gap || kt + ks >= gap ? gap : kt + ks;
        }
    } else if (x < 0 && y >= 0) {
        if (x + y < 0) {
            const double gap = std::fabs(x + y);
            ut = kt >= gap || kt + ks >= gap ? gap : kt + ks;
        }
    } else if (x < 0 && y < 0) {
        // Each deficit is covered first from the person's own declared
        // consumption; what is left over covers the other's.
        const double ax = std::fabs(x);
        const double ay = std::fabs(y);
        if (ax <= kt) {
            ut = ax;
            const double rest = kt - ax;
            us = ay <= ks || ks + rest >= ay ? ay : ks + rest;
        } else if (ay > ks) {
            ut = kt;
            us = ks;
        } else {
            us = ay;
            const double rest = ks - ay;
            ut = kt + rest >= ax ? ax : kt + rest;
        }
    }
    return {std::max(ut, 0.0), std::max(us, 0.0)};
}

}  // namespace

void RecalculateSheet(SheetGrid& grid) {
    const int columns = grid.columnCount();
    if (grid.rowCount() < kSheetRows) grid.setRowCount(kSheetRows);

    for (int c = columns - 1; c >= 1; --c) IncomeAndExpenses(grid, c);

    // The years as pairs of columns, oldest first.
    const int lastTaxpayer = columns % 2 == 1 ? columns - 2 : columns - 3;

    for (int t = lastTaxpayer; t >= 1; t -= 2) {
        const auto [pt, ps] = CarriedAmounts(Amount(grid, t, Row::AvailableBalance),
                                             Amount(grid, t + 1, Row::AvailableBalance), IsOldYear(t));
        Put(grid, t, Row::CarryAmount, pt, Zero::Shown);
        Put(grid, t + 1, Row::CarryAmount, ps, Zero::Shown);
    }

    for (int t = lastTaxpayer; t >= 1; t -= 2) {
        const auto [ut, us] = ConsumptionUsed(
            Amount(grid, t, Row::AvailableBalance), Amount(grid, t + 1, Row::AvailableBalance),
            Amount(grid, t, Row::DeclaredCapitalConsumption), Amount(grid, t + 1, Row::DeclaredCapitalConsumption));
        Put(grid, t, Row::CapitalConsumptionUsed, ut, Zero::Empty);
        Put(grid, t + 1, Row::CapitalConsumptionUsed, us, Zero::Empty);
    }

    for (int c = columns - 1; c >= 1; --c) {
        const double carried = Amount(grid, c, Row::CarryAmount);
        const double used = Amount(grid, c, Row::CapitalConsumptionUsed);
        const double previous = c + 2 < columns ? Amount(grid, c + 2, Row::FinalBalance) : 0.0;
        // A year whose deficit was covered by capital consumption adds nothing of its own.
        const double balance = used > 0 ? previous - used : previous + carried - used;
        Put(grid, c, Row::FinalBalance, balance, Zero::Empty);
    }
}

}  // namespace skartina
