// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/Recalculate.h"

#include "sheet/SheetRows.h"

#include <utility>

namespace skartina {
namespace {

constexpr Money kOldYearMinimum = Money::FromCents(290000);
constexpr Money kMarriedMinimum = Money::FromCents(250000);
constexpr Money kSingleMinimum = Money::FromCents(300000);

bool IsOldYear(int column) { return YearOfColumn(column) <= kLastOldRulesYear; }

[[noreturn]] void OutOfRange(int column, int row) {
    throw SheetError("Το ποσό είναι εκτός ορίων (" + DescribeCell(column, row) + ").", column, row);
}

// Sums and differences of the figures; one that does not fit is the error of the cell it was for.
struct Arithmetic {
    int column;
    int row;
    Money add(Money a, Money b) const {
        if (auto sum = Money::CheckedAdd(a, b)) return *sum;
        OutOfRange(column, row);
    }
    Money sub(Money a, Money b) const {
        if (auto difference = Money::CheckedSub(a, b)) return *difference;
        OutOfRange(column, row);
    }
};

Money Amount(const Sheet& sheet, int column, int row) {
    if (auto value = sheet.figure(column, row)) return *value;
    throw SheetError("Το κείμενο «" + CellText(sheet, column, row) + "» δεν είναι έγκυρος αριθμός (" +
                         DescribeCell(column, row) + ").",
                     column, row);
}

Money Sum(const Sheet& sheet, int column, int firstRow, int lastRow, Arithmetic of) {
    Money sum;
    for (int r = firstRow; r <= lastRow; ++r) sum = of.add(sum, Amount(sheet, column, r));
    return sum;
}

enum class Zero { Shown, Empty };

void Put(Sheet& sheet, int column, int row, Money value, Zero zero) {
    if (zero == Zero::Empty && value.isZero())
        sheet.clear(column, row);
    else
        sheet.setAmount(column, row, value);
}

void MinimumLiving(Sheet& sheet, int c, bool taxpayer, bool oldYear) {
    const bool married = sheet.married(c);
    if (taxpayer)
        sheet.setAmount(c, Row::MinimumLivingAmount, oldYear ? kOldYearMinimum : married ? kMarriedMinimum : kSingleMinimum);
    else if (!married)
        sheet.clear(c, Row::MinimumLivingAmount);
    else if (!oldYear)
        sheet.setAmount(c, Row::MinimumLivingAmount, kMarriedMinimum);
    // A married spouse of an old year keeps the amount typed for it.
}

void IncomeAndExpenses(Sheet& sheet, int c) {
    const bool taxpayer = IsTaxpayerColumn(c);
    const bool oldYear = IsOldYear(c);

    const Money income = Sum(sheet, c, Row::TaxedIncome, Row::AuditIncome, {c, Row::IncomeTotal});
    Put(sheet, c, Row::IncomeTotal, income, Zero::Shown);

    MinimumLiving(sheet, c, taxpayer, oldYear);
    const Money minimum = Amount(sheet, c, Row::MinimumLivingAmount);

    const Arithmetic expense{c, Row::ExpenseTotal};
    const Money presumptions = Sum(sheet, c, Row::HousePresumption, Row::DomesticStaffPresumption, expense);
    const Money acquisitions = Sum(sheet, c, Row::PresumptionSurcharge, Row::LoanRepayment, expense);
    Money expenses;
    if (!oldYear) {
        expenses = expense.add(expense.add(presumptions, acquisitions), minimum);
    } else {
        // Before 2012 the minimum takes the place of the presumptions when the
        // couple's presumptions fall short of it.
        const bool hasSpouseColumn = taxpayer && c + 1 < sheet.columnCount();
        const Money spousePresumptions =
            hasSpouseColumn ? Sum(sheet, c + 1, Row::HousePresumption, Row::DomesticStaffPresumption, expense) : Money();
        expenses = expense.add(presumptions, spousePresumptions) >= minimum ? expense.add(acquisitions, presumptions)
                                                                            : expense.add(acquisitions, minimum);
    }
    Put(sheet, c, Row::ExpenseTotal, expenses, Zero::Empty);
    Put(sheet, c, Row::AvailableBalance, Arithmetic{c, Row::AvailableBalance}.sub(income, expenses), Zero::Empty);
}

// The figures of both carried-amount rules fit: a year's balances were each
// held, and their sum is checked before it is compared.
std::pair<Money, Money> CarriedAmounts(Money x, Money y, bool oldYear, Arithmetic of) {
    const Money zero;
    const Money sum = of.add(x, y);
    if (!oldYear) return sum >= zero ? std::pair{x, y} : std::pair{zero, zero};
    const Money m = kOldYearMinimum;
    if (x >= zero && y >= zero) return {x, y};
    if (x >= zero) {
        if (sum > zero) return {x, y};
        return x >= m ? std::pair{-m, zero} : std::pair{x, of.sub(x, m)};
    }
    if (y >= zero) return sum > zero || x >= -m ? std::pair{x, y} : std::pair{-m, y};
    return x > -m ? std::pair{x, of.sub(-m, x)} : std::pair{-m, zero};
}

std::pair<Money, Money> ConsumptionUsed(Money x, Money y, Money kt, Money ks, Arithmetic of) {
    const Money zero;
    Money ut;
    Money us;
    const Money sum = of.add(x, y);
    const Money declared = of.add(kt, ks);
    if (x >= zero && y < zero) {
        if (sum < zero) {
            const Money gap = -sum;
            us = ks >= gap || declared >= gap ? gap : declared;
        }
    } else if (x < zero && y >= zero) {
        if (sum < zero) {
            const Money gap = -sum;
            ut = kt >= gap || declared >= gap ? gap : declared;
        }
    } else if (x < zero && y < zero) {
        // Each deficit is covered first from the person's own declared
        // consumption; what is left over covers the other's.
        const Money ax = -x;
        const Money ay = -y;
        if (ax <= kt) {
            ut = ax;
            const Money rest = of.sub(kt, ax);
            us = ay <= ks || of.add(ks, rest) >= ay ? ay : of.add(ks, rest);
        } else if (ay > ks) {
            ut = kt;
            us = ks;
        } else {
            us = ay;
            const Money rest = of.sub(ks, ay);
            ut = of.add(kt, rest) >= ax ? ax : of.add(kt, rest);
        }
    }
    return {std::max(ut, zero), std::max(us, zero)};
}

}  // namespace

void RecalculateSheet(Sheet& sheet) {
    const int columns = sheet.columnCount();
    if (sheet.rowCount() < kSheetRows) sheet.setRowCount(kSheetRows);

    for (int c = columns - 1; c >= 1; --c) IncomeAndExpenses(sheet, c);

    // The years as pairs of columns, oldest first.
    const int lastTaxpayer = columns % 2 == 1 ? columns - 2 : columns - 3;

    for (int t = lastTaxpayer; t >= 1; t -= 2) {
        const auto [pt, ps] = CarriedAmounts(Amount(sheet, t, Row::AvailableBalance),
                                             Amount(sheet, t + 1, Row::AvailableBalance), IsOldYear(t),
                                             {t, Row::CarryAmount});
        Put(sheet, t, Row::CarryAmount, pt, Zero::Shown);
        Put(sheet, t + 1, Row::CarryAmount, ps, Zero::Shown);
    }

    for (int t = lastTaxpayer; t >= 1; t -= 2) {
        const auto [ut, us] = ConsumptionUsed(
            Amount(sheet, t, Row::AvailableBalance), Amount(sheet, t + 1, Row::AvailableBalance),
            Amount(sheet, t, Row::DeclaredCapitalConsumption), Amount(sheet, t + 1, Row::DeclaredCapitalConsumption),
            {t, Row::CapitalConsumptionUsed});
        Put(sheet, t, Row::CapitalConsumptionUsed, ut, Zero::Empty);
        Put(sheet, t + 1, Row::CapitalConsumptionUsed, us, Zero::Empty);
    }

    for (int c = columns - 1; c >= 1; --c) {
        const Money carried = Amount(sheet, c, Row::CarryAmount);
        const Money used = Amount(sheet, c, Row::CapitalConsumptionUsed);
        const Money previous = c + 2 < columns ? Amount(sheet, c + 2, Row::FinalBalance) : Money();
        const Arithmetic of{c, Row::FinalBalance};
        // A year whose deficit was covered by capital consumption adds nothing of its own.
        const Money balance = used > Money() ? of.sub(previous, used) : of.sub(of.add(previous, carried), used);
        Put(sheet, c, Row::FinalBalance, balance, Zero::Empty);
    }
}

}  // namespace skartina
