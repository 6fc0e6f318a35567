// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The expense figures of a year (sheet rows 10 to 25 and 30) from its E1 amounts.

#include "e1/E1CodeTable.h"
#include "e1/YearFigures.h"

#include <stdexcept>
#include <utility>

namespace skartina {

// A months, unit-value or construction-year amount that does not fit a 32-bit integer.
class E1RangeError : public std::range_error {
public:
    using std::range_error::range_error;
};

// Per person, taxpayer first.
using PersonPair = std::pair<double, double>;

// The house presumptions rebuilt from up to three declared houses. Leaves the
// per-house results in codes 115 to 120 (taxpayer/spouse of houses 1 to 3),
// replacing what the return held there. Throws E1RangeError.
PersonPair HousePresumption(E1CodeTable& e1, int year);

// Halves to the even neighbour; throws E1RangeError outside 32 bits.
int RoundHouseValue(double value, int code);
double ZoneFactorOld(int unitValue);
double ZoneFactor(int unitValue);
double AgeFactor(int constructionYear, int year);
// The charge of a main area, banded by its size, with the tariff of the year.
double AreaCharge(double mainArea, int year);

double CarPresumption(const E1CodeTable& e1, Person person);
double BoatPresumption(const E1CodeTable& e1, Person person);
double AircraftPresumption(const E1CodeTable& e1, Person person);
double PoolPresumption(const E1CodeTable& e1, Person person);
double SchoolFeesPresumption(const E1CodeTable& e1);  // the taxpayer's alone
double DomesticStaffPresumption(const E1CodeTable& e1);  // the taxpayer's alone

// Before 2011 the surcharge on the presumptions of houses, boats, aircraft
// and pools; 0 from 2011.
PersonPair PresumptionSurcharge(const E1CodeTable& e1, int year);

}  // namespace skartina
