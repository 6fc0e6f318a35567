// SPDX-License-Identifier: GPL-3.0-or-later
#include "e1/IncomeRules.h"
#include "support/E1TestSupport.h"

#include <gtest/gtest.h>

namespace skartina {
namespace {

using test::Table;

struct Case {
    const char* what;
    int year;
    E1CodeTable e1;
    double taxpayer;
    double spouse;
};

TEST(IncomeRules, TaxedIncomeByYearBand) {
    const Case cases[] = {
        {"block before 2008", 2007, Table({{163, 500}, {165, 300}, {105, 1000}}), 665, 0},
        {"block 2008 to 2014", 2008, Table({{163, 500}, {165, 300}, {105, 1000}}), 679, 0},
        {"block from 2015", 2015, Table({{163, 500}, {165, 300}, {105, 1000}}), 650, 0},
        {"negative block lowers other sources before 2008", 2007, Table({{159, 1000}, {301, 5000}}), 4000, 0},
        {"block clamped from 2008", 2008, Table({{159, 1000}, {301, 5000}}), 5000, 0},
        {"capped deduction of 157 up to 2010", 2010, Table({{105, 1000}, {157, 100}}), 870, 0},
        {"no 157 deduction from 2011", 2011, Table({{105, 1000}, {157, 100}}), 970, 0},
        {"before-2008 deductions capped", 2005, Table({{103, 1000}, {151, 500}, {181, 100}, {177, 100}}), 720, 0},
        {"agricultural excess added, 465 not deducted", 2012,
         Table({{915, 3000}, {461, 1500}, {919, 500}, {465, 200}}), 3000, 0},
        {"no excess: 465 deducted", 2012, Table({{915, 2000}, {461, 1500}, {919, 500}, {465, 200}}), 1800, 0},
        {"2014 agriculture from 461 less 339", 2014, Table({{461, 3000}, {339, 1000}, {915, 2000}, {919, 100}}), 2100,
         0},
        {"2014 agriculture from 915", 2014, Table({{461, 1000}, {915, 3000}, {335, 500}, {339, 200}}), 2300, 0},
        {"305 is a wage before 2010", 2009, Table({{305, 700}}), 700, 0},
        {"305 is no wage from 2010", 2010, Table({{305, 700}}), 0, 0},
        {"2014 wages include 307 to 343", 2014, Table({{307, 1}, {309, 2}, {311, 4}, {343, 8}}), 15, 0},
        {"K limited to O", 2012, Table({{295, 300}, {421, 1000}, {301, 1000}}), 1000, 0},
        {"423 in O and D", 2012, Table({{423, 500}, {301, 1000}}), 1000, 0},
        {"397 taxpayer only", 2012, Table({{397, 500}, {398, 700}}), 500, 0},
        {"wage relief 351 from 2015", 2015, Table({{351, 5000}, {301, 3000}}), 0, 0},
        {"wage relief leaves other wage codes", 2015, Table({{351, 5000}, {301, 3000}, {307, 1000}}), 1000, 0},
        {"business deduction stops at C", 2015, Table({{401, 1000}, {413, 5000}, {301, 2000}}), 2000, 0},
        {"agricultural deduction stops at G", 2015, Table({{461, 800}, {465, 500}, {467, 500}}), 0, 0},
        {"rents with 515/517 for the taxpayer only", 2015,
         Table({{111, 1000}, {113, 200}, {515, 300}, {517, 100}, {112, 1000}, {114, 200}, {516, 300}}), 960, 760},
        {"H and J and L from 2015", 2015, Table({{829, 100}, {865, 50}, {871, 30}, {255, 7}, {251, 3}, {395, 11}}),
         141, 0},
        {"negative O ignored from 2015", 2015, Table({{171, -500}, {301, 100}}), 100, 0},
        {"spouse-only return", 2015, Table({{302, 4000}}), 0, 4000},
        {"result clamped at 0", 2012, Table({{413, 900}}), 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(TaxedIncome(c.e1, c.year, Person::Taxpayer), c.taxpayer, 1e-9) << c.what;
        EXPECT_NEAR(TaxedIncome(c.e1, c.year, Person::Spouse), c.spouse, 1e-9) << c.what;
    }
}

TEST(IncomeRules, SpecialRepatriatedAndAssetSaleIncome) {
    const E1CodeTable e1 = Table({{659, 100}, {619, 50}, {667, 30}, {431, 1}, {660, -10}, {783, 5}, {784, 6},
                                  {781, 7}, {782, 8}});
    EXPECT_DOUBLE_EQ(SpecialIncome(e1, 2009, Person::Taxpayer), 101);
    EXPECT_DOUBLE_EQ(SpecialIncome(e1, 2012, Person::Taxpayer), 181);
    EXPECT_DOUBLE_EQ(SpecialIncome(e1, 2015, Person::Taxpayer), 151);
    EXPECT_DOUBLE_EQ(SpecialIncome(e1, 2015, Person::Spouse), -10);
    EXPECT_DOUBLE_EQ(RepatriatedCapital(e1, Person::Taxpayer), 5);
    EXPECT_DOUBLE_EQ(RepatriatedCapital(e1, Person::Spouse), 6);
    EXPECT_DOUBLE_EQ(AssetSaleIncome(e1, Person::Taxpayer), 7);
    EXPECT_DOUBLE_EQ(AssetSaleIncome(e1, Person::Spouse), 8);
}

}  // namespace
}  // namespace skartina
