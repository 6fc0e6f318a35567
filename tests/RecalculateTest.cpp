// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/Amount.h"
#include "sheet/MarriedMarks.h"
#include "sheet/Recalculate.h"
#include "sheet/SheetLayout.h"
#include "sheet/SheetRows.h"
#include "support/SheetGridForms.h"

#include <gtest/gtest.h>

namespace skartina {
namespace {

// A laid-out sheet of the years from `oldest` to 2020, every amount empty.
SheetGrid SheetFrom(int oldest) {
    YearSelection years;
    for (int y = kOldestBoxYear; y <= kNewestYear; ++y) years.setTicked(y, y >= oldest);
    SheetGrid grid;
    BuildSheetLayout(grid, years);
    return grid;
}

struct Year {
    SheetGrid& grid;
    int year;
    void set(bool spouse, int row, double amount) const { grid.setCell(col(spouse), row, FormatAmount(amount)); }
    const std::string& at(bool spouse, int row) const { return grid.cell(col(spouse), row); }
    int col(bool spouse) const { return spouse ? SpouseColumnOf(year) : TaxpayerColumnOf(year); }
};
constexpr bool T = false;  // taxpayer column
constexpr bool S = true;   // spouse column

// Brings an unmarried year's available balances (Row::AvailableBalance) to x and y through
// incomes and acquisitions alone.
void SetBalances(const Year& y, double x, double s) {
    const double minimum = y.year <= 2011 ? 2900 : 3000;
    if (x >= -minimum) y.set(T, Row::TaxedIncome, x + minimum);
    else y.set(T, Row::VehiclePurchase, -x - minimum);
    if (s >= 0) y.set(S, Row::TaxedIncome, s);
    else y.set(S, Row::VehiclePurchase, -s);
}

std::string Shown(double v) { return v == 0 ? "" : FormatAmount(v); }

TEST(Recalculate, EmptyNewYearCarriesTheMinimumOnTheTaxpayer) {
    SheetGrid grid = SheetFrom(2015);
    RecalculateSheet(grid);
    const Year y{grid, 2015};
    EXPECT_EQ(y.at(T, Row::IncomeTotal), "0,00");
    EXPECT_EQ(y.at(S, Row::IncomeTotal), "0,00");
    EXPECT_EQ(y.at(T, Row::MinimumLivingAmount), "3.000,00");
    EXPECT_EQ(y.at(S, Row::MinimumLivingAmount), "");
    EXPECT_EQ(y.at(T, Row::ExpenseTotal), "3.000,00");
    EXPECT_EQ(y.at(S, Row::ExpenseTotal), "");
    EXPECT_EQ(y.at(T, Row::AvailableBalance), "-3.000,00");
    EXPECT_EQ(y.at(S, Row::AvailableBalance), "");
    EXPECT_EQ(y.at(T, Row::CarryAmount), "0,00");
    EXPECT_EQ(y.at(S, Row::CarryAmount), "0,00");
    EXPECT_EQ(y.at(T, Row::CapitalConsumptionUsed), "");
    EXPECT_EQ(y.at(T, Row::FinalBalance), "");
    EXPECT_EQ(y.at(S, Row::FinalBalance), "");
}

TEST(Recalculate, SurplusGrowsTheFinalBalance) {
    SheetGrid grid = SheetFrom(2014);
    const Year before{grid, 2014};
    before.set(T, Row::TaxedIncome, 5000);  // 2.000,00 left over in 2014
    const Year y{grid, 2015};
    y.set(T, Row::TaxedIncome, 10000);
    y.set(T, Row::HousePresumption, 4000);
    RecalculateSheet(grid);
    EXPECT_EQ(before.at(T, Row::FinalBalance), "2.000,00");
    EXPECT_EQ(y.at(T, Row::MinimumLivingAmount), "3.000,00");
    EXPECT_EQ(y.at(T, Row::ExpenseTotal), "7.000,00");
    EXPECT_EQ(y.at(T, Row::AvailableBalance), "3.000,00");
    EXPECT_EQ(y.at(T, Row::CarryAmount), "3.000,00");
    EXPECT_EQ(y.at(S, Row::CarryAmount), "0,00");
    EXPECT_EQ(y.at(T, Row::CapitalConsumptionUsed), "");
    EXPECT_EQ(y.at(T, Row::FinalBalance), "5.000,00");
    // Later years without amounts of their own carry the balance forward.
    EXPECT_EQ((Year{grid, 2020}.at(T, Row::FinalBalance)), "5.000,00");
}

TEST(Recalculate, DeficitCoveredByDeclaredConsumptionReducesTheBalance) {
    SheetGrid grid = SheetFrom(2014);
    Year{grid, 2014}.set(T, Row::TaxedIncome, 9000);  // 6.000,00 left over
    const Year y{grid, 2015};
    y.set(T, Row::TaxedIncome, 2000);
    y.set(T, Row::HousePresumption, 4000);
    y.set(T, Row::DeclaredCapitalConsumption, 6000);
    RecalculateSheet(grid);
    EXPECT_EQ(y.at(T, Row::AvailableBalance), "-5.000,00");
    EXPECT_EQ(y.at(T, Row::CarryAmount), "0,00");
    EXPECT_EQ(y.at(S, Row::CarryAmount), "0,00");
    EXPECT_EQ(y.at(T, Row::CapitalConsumptionUsed), "5.000,00");
    EXPECT_EQ(y.at(S, Row::CapitalConsumptionUsed), "");
    EXPECT_EQ(y.at(T, Row::FinalBalance), "1.000,00");
}

TEST(Recalculate, MinimumLivingAmountByYearAndMarriage) {
    SheetGrid grid = SheetFrom(2009);
    ToggleMarriedMark(grid, SpouseColumnOf(2015));
    ToggleMarriedMark(grid, SpouseColumnOf(2010));
    grid.setCell(SpouseColumnOf(2010), Row::MinimumLivingAmount, "1.000,00");  // typed; kept in a married old year
    grid.setCell(SpouseColumnOf(2009), Row::MinimumLivingAmount, "1.000,00");  // dropped: not married
    RecalculateSheet(grid);
    const struct {
        int year;
        const char* taxpayer;
        const char* spouse;
        const char* spouseExpenses;
    } cases[] = {
        {2015, "2.500,00", "2.500,00", "2.500,00"},
        {2016, "3.000,00", "", ""},
        {2010, "2.900,00", "1.000,00", "1.000,00"},
        {2009, "2.900,00", "", ""},
    };
    for (const auto& c : cases) {
        const Year y{grid, c.year};
        EXPECT_EQ(y.at(T, Row::MinimumLivingAmount), c.taxpayer) << c.year;
        EXPECT_EQ(y.at(S, Row::MinimumLivingAmount), c.spouse) << c.year;
        EXPECT_EQ(y.at(T, Row::ExpenseTotal), c.taxpayer) << c.year;
        EXPECT_EQ(y.at(S, Row::ExpenseTotal), c.spouseExpenses) << c.year;
    }
}

TEST(Recalculate, OldYearMinimumReplacesPresumptionsThatFallShort) {
    SheetGrid grid = SheetFrom(2010);
    const Year alone{grid, 2010};
    alone.set(T, Row::HousePresumption, 2000);
    alone.set(T, Row::PresumptionSurcharge, 500);
    alone.set(T, Row::VehiclePurchase, 1000);
    const Year couple{grid, 2011};
    ToggleMarriedMark(grid, SpouseColumnOf(2011));
    couple.set(T, Row::HousePresumption, 2000);
    couple.set(S, Row::HousePresumption, 1500);
    RecalculateSheet(grid);
    EXPECT_EQ(alone.at(T, Row::MinimumLivingAmount), "2.900,00");
    EXPECT_EQ(alone.at(T, Row::ExpenseTotal), "4.400,00");
    EXPECT_EQ(couple.at(T, Row::ExpenseTotal), "2.000,00");  // 3.500,00 together reach the minimum
    EXPECT_EQ(couple.at(S, Row::MinimumLivingAmount), "");
    EXPECT_EQ(couple.at(S, Row::ExpenseTotal), "1.500,00");
}

TEST(Recalculate, CarriedAmountsOfOldAndNewYears) {
    const struct {
        int year;
        double x, y;
        double pt, ps;
    } cases[] = {
        {2010, 1000, -5000, 1000, -1900},
        {2010, 3000, -5000, -2900, 0},
        {2010, 3000, -1000, 3000, -1000},
        {2010, 500, 700, 500, 700},
        {2010, -1000, 500, -1000, 500},
        {2010, -4000, 5000, -4000, 5000},
        {2010, -4000, 1000, -2900, 1000},
        {2010, -1000, -1000, -1000, -1900},
        {2010, -4000, -1000, -2900, 0},
        {2015, 1000, -500, 1000, -500},
        {2015, 1000, -1500, 0, 0},
        {2015, -200, 200, -200, 200},
    };
    for (const auto& c : cases) {
        SheetGrid grid = SheetFrom(c.year);
        const Year y{grid, c.year};
        SetBalances(y, c.x, c.y);
        RecalculateSheet(grid);
        ASSERT_EQ(y.at(T, Row::AvailableBalance), Shown(c.x)) << c.year << " " << c.x;
        ASSERT_EQ(y.at(S, Row::AvailableBalance), Shown(c.y)) << c.year << " " << c.y;
        EXPECT_EQ(y.at(T, Row::CarryAmount), FormatAmount(c.pt)) << c.year << " " << c.x << " " << c.y;
        EXPECT_EQ(y.at(S, Row::CarryAmount), FormatAmount(c.ps)) << c.year << " " << c.x << " " << c.y;
    }
}

TEST(Recalculate, CapitalConsumptionUsedCoversDeficits) {
    const struct {
        double x, y, kt, ks;
        double ut, us;
    } cases[] = {
        {1000, -3000, 500, 1000, 0, 1500},
        {1000, -3000, 1500, 1000, 0, 2000},
        {1000, -500, 5000, 5000, 0, 0},
        {-3000, 1000, 0, 5000, 2000, 0},
        {-3000, 1000, 500, 500, 1000, 0},
        {-3000, -2000, 1000, 5000, 3000, 2000},
        {-3000, -2000, 1000, 2500, 1500, 2000},
        {-3000, -2000, 1000, 1000, 1000, 1000},
        {-3000, -2000, 4000, 0, 3000, 1000},  // the taxpayer's surplus covers the spouse
        {-3000, -2000, 6000, 0, 3000, 2000},
        {2000, 3000, 1000, 1000, 0, 0},
    };
    for (const auto& c : cases) {
        SheetGrid grid = SheetFrom(2015);
        const Year y{grid, 2015};
        SetBalances(y, c.x, c.y);
        y.set(T, Row::DeclaredCapitalConsumption, c.kt);
        y.set(S, Row::DeclaredCapitalConsumption, c.ks);
        RecalculateSheet(grid);
        EXPECT_EQ(y.at(T, Row::CapitalConsumptionUsed), Shown(c.ut)) << c.x << " " << c.y << " " << c.kt << " " << c.ks;
        EXPECT_EQ(y.at(S, Row::CapitalConsumptionUsed), Shown(c.us)) << c.x << " " << c.y << " " << c.kt << " " << c.ks;
        // Covered deficits come off the balance; nothing of the year's own is carried.
        EXPECT_EQ(y.at(T, Row::FinalBalance), Shown(c.ut > 0 ? -c.ut : ParseAmount(y.at(T, Row::CarryAmount)).value()));
        EXPECT_EQ(y.at(S, Row::FinalBalance), Shown(c.us > 0 ? -c.us : ParseAmount(y.at(S, Row::CarryAmount)).value()));
    }
}

TEST(Recalculate, SingleYearSheetStartsFromZero) {
    SheetGrid grid = SheetFrom(2020);
    ASSERT_EQ(grid.columnCount(), 3);
    const Year y{grid, 2020};
    y.set(T, Row::TaxedIncome, 5000);
    y.set(S, Row::OtherIncome, 250.5);
    RecalculateSheet(grid);
    EXPECT_EQ(y.at(T, Row::FinalBalance), "2.000,00");
    EXPECT_EQ(y.at(S, Row::FinalBalance), "250,50");
}

TEST(Recalculate, RunningTwiceChangesNothing) {
    SheetGrid grid = SheetFrom(2003);
    for (int year = 2003; year <= 2020; ++year) {
        const Year y{grid, year};
        y.set(T, Row::TaxedIncome, 1234.56 * (year - 2000));
        y.set(S, Row::CarPresumption, 987.65 * (year % 7));
        y.set(T, Row::DeclaredCapitalConsumption, 500.25 * (year % 3));
        if (year % 2) ToggleMarriedMark(grid, SpouseColumnOf(year));
    }
    RecalculateSheet(grid);
    const SheetGrid once = grid;
    RecalculateSheet(grid);
    EXPECT_EQ(grid, once);
}

TEST(Recalculate, StopsAtTheFirstCellThatIsNotANumber) {
    SheetGrid grid = SheetFrom(2014);
    const Year y{grid, 2015};
    y.set(T, Row::TaxedIncome, 100);
    RecalculateSheet(grid);
    grid.setCell(TaxpayerColumnOf(2015), Row::CarPresumption, "abc");
    grid.setCell(TaxpayerColumnOf(2016), Row::ExpenseTotal, "stale");
    grid.setCell(TaxpayerColumnOf(2014), Row::TaxedIncome, "100,00");
    try {
        RecalculateSheet(grid);
        FAIL() << "recalculated over abc";
    } catch (const SheetError& e) {
        EXPECT_EQ(e.column(), TaxpayerColumnOf(2015));
        EXPECT_EQ(e.row(), Row::CarPresumption);
        const std::string message = e.what();
        EXPECT_NE(message.find("«abc»"), std::string::npos) << message;
        EXPECT_NE(message.find("2015 Υπόχρεου"), std::string::npos) << message;
        EXPECT_NE(message.find("Τεκμήρια Αυτοκινήτων"), std::string::npos) << message;
    }
    // Columns after the error keep their previous text; those before it are done.
    EXPECT_EQ(grid.cell(TaxpayerColumnOf(2016), Row::ExpenseTotal), "stale");
    EXPECT_EQ(grid.cell(TaxpayerColumnOf(2014), Row::IncomeTotal), "100,00");
}

TEST(Recalculate, AmountsTooLargeToHoldAreAnError) {
    SheetGrid grid = SheetFrom(2020);
    const std::string huge = "9" + std::string(307, '0');  // six of them overflow a double
    for (int r = Row::TaxedIncome; r <= Row::AuditIncome; ++r) grid.setCell(1, r, huge);
    EXPECT_THROW(RecalculateSheet(grid), SheetError);
}

}  // namespace
}  // namespace skartina
