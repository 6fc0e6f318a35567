// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/MarriedMarks.h"
#include "sheet/Recalculate.h"
#include "sheet/SheetLayout.h"
#include "sheet/SheetRows.h"
#include "support/TestSupport.h"
#include "support/SheetGridForms.h"

#include <gtest/gtest.h>

namespace skartina {
namespace {

using test::ScriptedPrompter;

struct NewWindow {
    NewWindow() { BuildSheetLayout(grid, years); }
    SheetGrid grid;
    YearSelection years;
};

std::vector<int> TickedYears(const YearSelection& years) {
    std::vector<int> ticked;
    for (int y = kOldestBoxYear; y <= kNewestYear; ++y)
        if (years.isTicked(y)) ticked.push_back(y);
    return ticked;
}

std::vector<int> Range(int from, int to) {
    std::vector<int> years;
    for (int y = from; y <= to; ++y) years.push_back(y);
    return years;
}

TEST(SheetLayout, NewWindowShows2003To2020WithCaptionsAndHeaders) {
    NewWindow w;
    EXPECT_EQ(w.grid.columnCount(), 37);
    EXPECT_EQ(w.grid.rowCount(), 40);
    EXPECT_EQ(w.grid.cell(0, 0), "Οικονομικό Έτος");
    EXPECT_EQ(w.grid.cell(0, 1), " ");
    EXPECT_EQ(w.grid.cell(0, 2), " ");
    EXPECT_EQ(w.grid.cell(0, 18), "Αγορά ή Μίσθωση Μηχανοκίνητων μέσων ");
    EXPECT_EQ(w.grid.cell(0, 27), "Σ ύ ν ο λ α  Τ ε κ μ η ρ ί ω ν - Δ α π α ν ώ ν ");
    EXPECT_EQ(w.grid.cell(0, 33), "Τ ε λ ι κ ό   Δ ι α θ έ σ ι μ ο   Υ π ό λ ο ι π ο");
    EXPECT_EQ(w.grid.cell(0, 34), "");
    for (int year = 2003; year <= 2020; ++year) {
        EXPECT_EQ(w.grid.cell(TaxpayerColumnOf(year), 0), "_" + std::to_string(year) + "_");
        EXPECT_EQ(w.grid.cell(SpouseColumnOf(year), 0), "");
        EXPECT_EQ(w.grid.cell(TaxpayerColumnOf(year), 1), "Υπόχρεου");
        EXPECT_EQ(w.grid.cell(SpouseColumnOf(year), 1), "Συζύγου");
    }
    EXPECT_EQ(TickedYears(w.years), Range(2003, 2020));
    // Recalculated at once: an empty new year carries the minimum living amount.
    EXPECT_EQ(w.grid.cell(TaxpayerColumnOf(2020), Row::MinimumLivingAmount), "3.000,00");
}

TEST(SheetLayout, YearColumnsFollowTheFixedFormula) {
    EXPECT_EQ(TaxpayerColumnOf(2020), 1);
    EXPECT_EQ(SpouseColumnOf(2020), 2);
    EXPECT_EQ(TaxpayerColumnOf(2000), 41);
    EXPECT_EQ(SpouseColumnOf(1999), 44);
    EXPECT_EQ(YearOfColumn(44), 1999);
    EXPECT_EQ(YearOfColumn(1), 2020);
}

TEST(SheetLayout, TickingAYearTicksEveryYearUpTo2020) {
    NewWindow w;
    TickYear(w.grid, w.years, 2001);
    EXPECT_EQ(w.grid.columnCount(), 41);
    EXPECT_EQ(TickedYears(w.years), Range(2001, 2020));
    EXPECT_EQ(w.grid.cell(TaxpayerColumnOf(2001), 0), "_2001_");
}

TEST(SheetLayout, UntickingAfterYesDropsTheOlderYearsAndTheirAmounts) {
    NewWindow w;
    w.grid.setCell(TaxpayerColumnOf(2011), Row::TaxedIncome, "1.000,00");
    w.grid.setCell(SpouseColumnOf(2010), Row::TaxedIncome, "2.000,00");
    ScriptedPrompter yes(true);

    ASSERT_TRUE(UntickYear(w.grid, w.years, 2010, &yes));
    EXPECT_EQ(yes.asked, std::vector<std::string>{kYearRemovalQuestion});
    EXPECT_EQ(w.grid.columnCount(), 21);
    EXPECT_EQ(TickedYears(w.years), Range(2011, 2020));
    EXPECT_EQ(w.grid.cell(TaxpayerColumnOf(2011), Row::TaxedIncome), "1.000,00");

    TickYear(w.grid, w.years, 2010);
    EXPECT_EQ(w.grid.columnCount(), 23);
    EXPECT_EQ(w.grid.cell(SpouseColumnOf(2010), Row::TaxedIncome), "");
    EXPECT_EQ(w.grid.cell(TaxpayerColumnOf(2010), 0), "_2010_");
}

TEST(SheetLayout, UntickingAfterNoChangesNothing) {
    NewWindow w;
    w.grid.setCell(TaxpayerColumnOf(2005), Row::TaxedIncome, "1.000,00");
    ToggleMarriedMark(w.grid, SpouseColumnOf(2012));
    const SheetGrid before = w.grid;
    ScriptedPrompter no(false);

    EXPECT_FALSE(UntickYear(w.grid, w.years, 2010, &no));
    EXPECT_EQ(no.asked.size(), 1u);
    EXPECT_EQ(w.grid, before);
    EXPECT_EQ(TickedYears(w.years), Range(2003, 2020));
}

TEST(SheetLayout, Unticking2020EmptiesTheSheetAndKeeps2020) {
    NewWindow w;
    w.grid.setCell(TaxpayerColumnOf(2020), Row::TaxedIncome, "5.000,00");
    ToggleMarriedMark(w.grid, SpouseColumnOf(2020));
    ASSERT_TRUE(UntickYear(w.grid, w.years, 2020, nullptr));  // no question asked
    EXPECT_EQ(w.grid.columnCount(), 3);
    EXPECT_EQ(TickedYears(w.years), std::vector<int>{2020});
    EXPECT_EQ(w.grid.cell(TaxpayerColumnOf(2020), Row::TaxedIncome), "");
    EXPECT_EQ(w.grid.cell(SpouseColumnOf(2020), 1), "Συζύγου");
    EXPECT_EQ(w.grid.cell(TaxpayerColumnOf(2020), Row::IncomeTotal), "0,00");
}

TEST(SheetLayout, FirstYearFieldAddsTheYearsBefore2000) {
    const struct {
        int firstYear;
        bool tick2000;
        int columns;
        const char* lastHeader;
    } cases[] = {
        {1995, true, 53, "_1995_"},
        {1991, true, 61, "_1991_"},
        {1990, true, 43, "_2000_"},
        {2000, true, 43, "_2000_"},
        {1995, false, 37, "_2003_"},
    };
    for (const auto& c : cases) {
        NewWindow w;
        w.years.setFirstYear(c.firstYear);
        if (c.tick2000) TickYear(w.grid, w.years, 2000);
        BuildSheetLayout(w.grid, w.years);
        EXPECT_EQ(w.grid.columnCount(), c.columns) << c.firstYear;
        EXPECT_EQ(w.grid.cell(w.grid.columnCount() - 2, 0), c.lastHeader) << c.firstYear;
        EXPECT_EQ(w.grid.cell(w.grid.columnCount() - 1, 1), "Συζύγου") << c.firstYear;
    }
    NewWindow w;
    w.years.setFirstYear(1995);
    TickYear(w.grid, w.years, 2000);
    EXPECT_EQ(w.grid.cell(TaxpayerColumnOf(1999), 0), "_1999_");
    EXPECT_EQ(w.grid.cell(51, 0), "_1995_");
}

TEST(SheetLayout, TheFirstYearFieldTakesOnlyTheYearsTheSheetCanStartWith) {
    for (int year : {1991, 1995, 1999, 2000}) EXPECT_TRUE(IsFirstYearChoice(year)) << year;
    for (int year : {0, 1990, 2001, 2010, 2020, -1995, 19950}) EXPECT_FALSE(IsFirstYearChoice(year)) << year;
}

// A client without a saved analysis gets the sheet of a new window, whatever
// the window showed before.
TEST(SheetLayout, AResetSheetIsTheSheetOfANewWindow) {
    NewWindow fresh;
    NewWindow used;
    used.grid.setCell(TaxpayerColumnOf(2016), Row::TaxedIncome, "5.000,00");
    ApplyMarriedToAllYears(used.grid, true);
    ASSERT_TRUE(UntickYear(used.grid, used.years, 2017, nullptr));
    TickYear(used.grid, used.years, 2000);
    ResetSheet(used.grid, used.years);
    EXPECT_EQ(TickedYears(used.years), Range(2003, 2020));
    EXPECT_EQ(used.grid, fresh.grid);
    EXPECT_EQ(used.grid.columnCount(), 37);
    EXPECT_EQ(used.grid.cell(TaxpayerColumnOf(2020), Row::FinalBalance), "-26.100,00");  // recalculated
}

TEST(SheetLayout, AligningToALoadedSheetTicksItsYearsAndKeepsTheOthers) {
    NewWindow w;
    ASSERT_TRUE(UntickYear(w.grid, w.years, 2012, nullptr));
    AlignYearBoxesToSheet(SheetGrid(31), w.years);  // 2006 to 2020
    EXPECT_EQ(TickedYears(w.years), Range(2006, 2020));

    YearSelection wide;  // 2003 to 2020 ticked, a sheet of 2011 to 2020 loaded
    AlignYearBoxesToSheet(SheetGrid(21), wide);
    EXPECT_EQ(TickedYears(wide), Range(2003, 2020));
}

TEST(MarriedMarks, TogglingAndApplyingTouchOnlySpouseHeaders) {
    NewWindow w;
    EXPECT_FALSE(ToggleMarriedMark(w.grid, TaxpayerColumnOf(2015)));
    EXPECT_TRUE(ToggleMarriedMark(w.grid, SpouseColumnOf(2015)));
    EXPECT_TRUE(IsMarriedColumn(w.grid, SpouseColumnOf(2015)));
    EXPECT_TRUE(IsMarriedColumn(w.grid, TaxpayerColumnOf(2015)));
    EXPECT_FALSE(IsMarriedColumn(w.grid, TaxpayerColumnOf(2016)));
    ApplyMarriedToAllYears(w.grid, false);
    EXPECT_EQ(w.grid.cell(SpouseColumnOf(2015), 1), "Συζύγου");
    EXPECT_EQ(w.grid.cell(TaxpayerColumnOf(2015), 1), "Υπόχρεου");
    w.grid.setCell(SpouseColumnOf(2014), 1, "other");
    ApplyMarriedToAllYears(w.grid, true);
    EXPECT_EQ(w.grid.cell(SpouseColumnOf(2014), 1), "other");
    EXPECT_EQ(w.grid.cell(SpouseColumnOf(2013), 1), "Συζύγου*");
    EXPECT_EQ(w.grid.cell(TaxpayerColumnOf(2013), 1), "Υπόχρεου");
}

}  // namespace
}  // namespace skartina
