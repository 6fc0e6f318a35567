// SPDX-License-Identifier: GPL-3.0-or-later
#include "e1/PresumptionRules.h"
#include "support/E1TestSupport.h"

#include <gtest/gtest.h>

namespace skartina {
namespace {

using test::Table;

// House 1 before 2011: main area, auxiliary area, shares, months, unit value, construction year.
E1CodeTable OldHouse1(double main, double aux, double ts, double ss, double months, double unit, double built) {
    return Table({{211, main}, {212, aux}, {213, ts}, {214, ss}, {215, months}, {216, unit}, {217, built}});
}

TEST(HousePresumption, BeforeExample2010) {
    E1CodeTable e1 = OldHouse1(250, 0, 100, 0, 12, 1000, 2005);
    const auto [t, s] = HousePresumption(e1, 2010);
    EXPECT_DOUBLE_EQ(t, 10237.5);
    EXPECT_DOUBLE_EQ(s, 0);
    EXPECT_DOUBLE_EQ(e1[115], 10237.5);
}

TEST(HousePresumption, BeforeThresholdsAndExclusions) {
    const struct {
        const char* what;
        int year;
        E1CodeTable e1;
        bool counts;
    } cases[] = {
        {"house 1 share exactly 200", 2010, OldHouse1(180, 20, 50, 50, 12, 1000, 2005), false},
        {"house 1 share above 200", 2010, OldHouse1(181, 20, 50, 50, 12, 1000, 2005), true},
        {"no unit value", 2010, OldHouse1(300, 0, 100, 0, 12, 0, 2005), false},
        {"house 2 share 150 in 2006", 2006,
         Table({{218, 150}, {220, 100}, {222, 12}, {223, 1000}, {224, 2000}}), false},
        {"house 2 any share from 2007", 2007, Table({{218, 10}, {220, 100}, {222, 12}, {223, 1000}, {224, 2000}}),
         true},
        {"house 2 excluded by 204", 2007,
         Table({{218, 100}, {220, 100}, {222, 12}, {223, 1000}, {224, 2000}, {204, 1}}), false},
        {"house 3 excluded by 205", 2008,
         Table({{225, 100}, {227, 100}, {229, 12}, {230, 1000}, {231, 2000}, {205, 1}}), false},
        {"house 3 counts", 2008, Table({{225, 100}, {227, 100}, {229, 12}, {230, 1000}, {231, 2000}}), true},
    };
    for (auto c : cases) {
        const auto [t, s] = HousePresumption(c.e1, c.year);
        EXPECT_EQ(t + s > 0, c.counts) << c.what;
    }
}

TEST(HousePresumption, ReturnAmountsUnderTheResultCodesDoNotSurvive) {
    E1CodeTable old = Table({{115, 999}, {116, 999}, {120, 5}});
    EXPECT_EQ(HousePresumption(old, 2010), (PersonPair{0, 0}));
    E1CodeTable recent = Table({{116, 999}, {118, 1}, {707, 10}, {708, 20}});
    EXPECT_EQ(HousePresumption(recent, 2015), (PersonPair{10, 20}));
    for (int code = 115; code <= 120; ++code) EXPECT_EQ(recent[code], 0) << code;
}

TEST(HousePresumption, FromExample2012) {
    E1CodeTable e1 =
        Table({{211, 100}, {212, 10}, {213, 100}, {215, 6}, {216, 3000}, {240, 1}, {231, 50}});
    const auto [t, s] = HousePresumption(e1, 2012);
    EXPECT_NEAR(t, 3171, 1e-9);
    EXPECT_DOUBLE_EQ(s, 0);

    e1.set(240, 2);  // only exactly 1 applies the factor 1.2
    EXPECT_NEAR(HousePresumption(e1, 2012).first, 3171 / 1.2, 1e-9);
}

TEST(HousePresumption, SecondAndThirdHousesCountHalf) {
    E1CodeTable e1 = Table({{218, 100}, {220, 50}, {221, 50}, {222, 12}, {223, 1000}});
    const auto [t, s] = HousePresumption(e1, 2013);
    // 4500 a year for 100 m², halved for a second house, shared 50/50.
    EXPECT_NEAR(t, 1125, 1e-9);
    EXPECT_NEAR(s, 1125, 1e-9);
}

TEST(HouseFactors, AreaChargeBandsAreContinuous) {
    EXPECT_DOUBLE_EQ(AreaCharge(100, 2011), 3400);
    EXPECT_DOUBLE_EQ(AreaCharge(100, 2012), 4500);
    const double limits[] = {80, 120, 200, 300};
    for (int year : {2011, 2016}) {
        for (double m : limits) EXPECT_NEAR(AreaCharge(m, year), AreaCharge(m + 1e-9, year), 1e-5) << year << " " << m;
    }
    EXPECT_DOUBLE_EQ(AreaCharge(400, 2011), 25800 + 300 * 100);
    EXPECT_DOUBLE_EQ(AreaCharge(50, 2020), 2000);
}

TEST(HouseFactors, ZoneAndAgeBoundaries) {
    const std::pair<int, double> zones[] = {{2799, 1.0}, {2800, 1.4}, {4999, 1.4}, {5000, 1.7}};
    for (auto [v, f] : zones) EXPECT_EQ(ZoneFactor(v), f) << v;
    const std::pair<int, double> oldZones[] = {{440, 1.1}, {441, 1.2}, {734, 1.2}, {735, 1.3}, {1174, 1.3}, {1175, 1.4}};
    for (auto [v, f] : oldZones) EXPECT_EQ(ZoneFactorOld(v), f) << v;
    const std::pair<int, double> ages[] = {{2008, 1.0}, {2007, 0.9}, {2003, 0.9}, {2002, 0.8}, {1998, 0.8},
                                           {1997, 0.75}, {95, 0.75}, {1988, 0.7}, {1983, 0.65}, {1982, 0.6},
                                           {0, 0.6}, {-2147483647, 0.6}};
    for (auto [built, f] : ages) EXPECT_EQ(AgeFactor(built, 2010), f) << built;
}

TEST(HouseFactors, HalvesRoundToEvenAndRangeIsChecked) {
    EXPECT_EQ(RoundHouseValue(12.5, 215), 12);
    EXPECT_EQ(RoundHouseValue(13.5, 215), 14);
    EXPECT_EQ(RoundHouseValue(-2.5, 215), -2);
    EXPECT_EQ(RoundHouseValue(2147483647.4, 215), 2147483647);
    EXPECT_THROW(RoundHouseValue(2147483647.5, 215), E1RangeError);
    EXPECT_THROW(RoundHouseValue(-3e9, 216), E1RangeError);
    // Months of 12.5 count as 12, 13.5 as 14.
    E1CodeTable e1 = OldHouse1(250, 0, 100, 0, 12.5, 1000, 2005);
    EXPECT_DOUBLE_EQ(HousePresumption(e1, 2010).first, 10237.5);
}

TEST(PresumptionSurcharge, ThresholdCapAndYears) {
    EXPECT_EQ(PresumptionSurcharge(Table({{795, 3}, {709, 7350}, {767, 1e6}}), 2010), (PersonPair{0, 0}));
    EXPECT_NEAR(PresumptionSurcharge(Table({{795, 3}, {709, 7350.01}, {767, 1e6}}), 2010).first, 1.1 * 7350.01, 1e-9);
    EXPECT_EQ(PresumptionSurcharge(Table({{795, 3}, {709, 8000}, {767, 100}}), 2010), (PersonPair{200, 0}));
    EXPECT_NEAR(PresumptionSurcharge(Table({{795, 3}, {709, 8000}, {767, 1000}}), 2010).first, 8800, 1e-9);
    EXPECT_EQ(PresumptionSurcharge(Table({{795, 3}, {709, 8000}, {767, 100}}), 2011), (PersonPair{0, 0}));

    // The capped total is shared in proportion: 2·707 counts twice.
    const auto [t, s] = PresumptionSurcharge(Table({{795, 2}, {796, 2}, {707, 3000}, {710, 3000}, {767, 150}}), 2008);
    EXPECT_NEAR(t, 200, 1e-9);
    EXPECT_NEAR(s, 100, 1e-9);
    // Fewer than three persons: n = 0, so the presumptions pass without surcharge.
    EXPECT_NEAR(PresumptionSurcharge(Table({{795, 1}, {709, 8000}, {767, 1000}}), 2010).first, 8000, 1e-9);
}

TEST(PresumptionSums, CarsBoatsAircraftPoolsSchoolsStaff) {
    const E1CodeTable e1 = Table({{851, 1}, {853, 2}, {855, 4}, {857, 8}, {852, 16}, {711, 1}, {713, 2}, {731, 4},
                                  {732, 8}, {715, 3}, {716, 5}, {765, 7}, {766, 9}, {769, 11}, {770, 13}});
    EXPECT_EQ(CarPresumption(e1, Person::Taxpayer), 15);
    EXPECT_EQ(CarPresumption(e1, Person::Spouse), 16);
    EXPECT_EQ(BoatPresumption(e1, Person::Taxpayer), 7);
    EXPECT_EQ(BoatPresumption(e1, Person::Spouse), 8);
    EXPECT_EQ(AircraftPresumption(e1, Person::Spouse), 5);
    EXPECT_EQ(PoolPresumption(e1, Person::Taxpayer), 7);
    EXPECT_EQ(SchoolFeesPresumption(e1), 11);
    EXPECT_EQ(DomesticStaffPresumption(e1), 13);
}

}  // namespace
}  // namespace skartina
