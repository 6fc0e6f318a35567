// SPDX-License-Identifier: GPL-3.0-or-later
#include "e1/PresumptionRules.h"
#include "e1/YearRules.h"
#include "sheet/Amount.h"
#include "sheet/SheetLayout.h"
#include "sheet/SheetRows.h"
#include "support/E1TestSupport.h"
#include "support/SheetGridForms.h"

#include <gtest/gtest.h>

namespace skartina {
namespace {

using test::Table;

constexpr const char* kMark = "1,00";

// A sheet of 2003 to 2020 whose year cells below the headers all hold a mark.
SheetGrid MarkedSheet() {
    SheetGrid grid;
    BuildSheetLayout(grid, YearSelection());
    for (int c = 1; c < grid.columnCount(); ++c)
        for (int r = Row::Spacer; r < kSheetRows; ++r) grid.setCell(c, r, kMark);
    return grid;
}

bool IsPublishedRow(int row) {
    return (row >= Row::TaxedIncome && row <= Row::AssetSaleIncome) ||
           (row >= Row::HousePresumption && row <= Row::LoanRepayment) || row == Row::DeclaredCapitalConsumption;
}

TEST(YearRules, AnEmptyReturnEmptiesEveryFigureAndNothingElse) {
    SheetGrid grid = MarkedSheet();
    E1CodeTable e1;
    RunYearRules(e1, grid, 2012);
    const int t = TaxpayerColumnOf(2012);
    const int s = SpouseColumnOf(2012);
    for (int r = Row::Spacer; r < kSheetRows; ++r) {
        EXPECT_EQ(grid.cell(t, r), IsPublishedRow(r) ? "" : kMark) << r;
        const bool spouseWritten =
            IsPublishedRow(r) && r != Row::SchoolFeesPresumption && r != Row::DomesticStaffPresumption;
        EXPECT_EQ(grid.cell(s, r), spouseWritten ? "" : kMark) << r;
        EXPECT_EQ(grid.cell(TaxpayerColumnOf(2013), r), kMark) << r;
        EXPECT_EQ(grid.cell(SpouseColumnOf(2011), r), kMark) << r;
    }
}

TEST(YearRules, EachFigureReachesItsRowAndPerson) {
    const struct {
        int row;
        int code;  // the taxpayer's; the spouse's is the next one
    } copies[] = {{Row::RepatriatedCapital, 783}, {Row::AssetSaleIncome, 781}, {Row::CarPresumption, 851},
                  {Row::BoatPresumption, 711},    {Row::AircraftPresumption, 715}, {Row::PoolPresumption, 765},
                  {Row::VehiclePurchase, 719},    {Row::BoatAircraftPurchase, 721}, {Row::SecuritiesPurchase, 723},
                  {Row::RealEstatePurchase, 735}, {Row::BuildingExpense, 737}, {Row::BusinessPurchase, 743},
                  {Row::GiftsGiven, 725},         {Row::LoanRepayment, 727}, {Row::DeclaredCapitalConsumption, 787}};
    E1CodeTable e1;
    for (const auto& c : copies) {
        e1.set(c.code, 1000 + c.row);
        e1.set(c.code + 1, 2000.5 + c.row);
    }
    e1.set(769, 300);
    e1.set(770, 400);
    e1.set(302, 4000);  // a spouse-only wage
    e1.set(660, -10);   // a negative figure is shown empty
    SheetGrid grid = MarkedSheet();
    RunYearRules(e1, grid, 2003);
    const int t = TaxpayerColumnOf(2003);
    ASSERT_EQ(t, 35);
    for (const auto& c : copies) {
        EXPECT_EQ(grid.cell(t, c.row), FormatAmount(1000 + c.row)) << c.row;
        EXPECT_EQ(grid.cell(t + 1, c.row), FormatAmount(2000.5 + c.row)) << c.row;
    }
    EXPECT_EQ(grid.cell(t, Row::SchoolFeesPresumption), "300,00");
    EXPECT_EQ(grid.cell(t, Row::DomesticStaffPresumption), "400,00");
    EXPECT_EQ(grid.cell(t + 1, Row::SchoolFeesPresumption), kMark);
    EXPECT_EQ(grid.cell(t, Row::TaxedIncome), "");
    EXPECT_EQ(grid.cell(t + 1, Row::TaxedIncome), "4.000,00");
    EXPECT_EQ(grid.cell(t + 1, Row::SpecialIncome), "");
}

TEST(YearRules, HouseAndSurchargeOfAnOldYear) {
    E1CodeTable e1 = Table({{211, 250}, {213, 100}, {215, 12}, {216, 1000}, {217, 2005}, {795, 3}, {709, 8000},
                            {767, 100}});
    SheetGrid grid = MarkedSheet();
    RunYearRules(e1, grid, 2010);
    EXPECT_EQ(grid.cell(TaxpayerColumnOf(2010), Row::HousePresumption), "10.237,50");
    EXPECT_EQ(grid.cell(SpouseColumnOf(2010), Row::HousePresumption), "");
    EXPECT_EQ(grid.cell(TaxpayerColumnOf(2010), Row::PresumptionSurcharge), "200,00");
    EXPECT_DOUBLE_EQ(e1[115], 10237.5);
}

TEST(YearRules, AHouseValueOutOfRangeStopsAtTheHouseRule) {
    E1CodeTable e1 = Table({{301, 5000}, {211, 100}, {216, 3e9}, {719, 700}});
    SheetGrid grid = MarkedSheet();
    EXPECT_THROW(RunYearRules(e1, grid, 2015), E1RangeError);
    EXPECT_EQ(grid.cell(TaxpayerColumnOf(2015), Row::TaxedIncome), "5.000,00");  // published before
    EXPECT_EQ(grid.cell(TaxpayerColumnOf(2015), Row::HousePresumption), kMark);
    EXPECT_EQ(grid.cell(TaxpayerColumnOf(2015), Row::VehiclePurchase), kMark);
}

TEST(YearRules, AYearOutsideTheSheetIsRefused) {
    SheetGrid grid = MarkedSheet();
    const SheetGrid before = grid;
    E1CodeTable e1 = Table({{301, 5000}});
    EXPECT_THROW(RunYearRules(e1, grid, 2002), std::out_of_range);
    EXPECT_THROW(RunYearRules(e1, grid, 2021), std::out_of_range);
    EXPECT_EQ(grid, before);
}

}  // namespace
}  // namespace skartina
