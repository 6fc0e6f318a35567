// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The balances of the sheet, year by year and person by person, in whole
// cents: the one place where the coverage of an expense and the balance chart
// take their figures from the sheet.

#include "sheet/Sheet.h"
#include "sheet/SheetGrid.h"

#include <cstdint>
#include <vector>

namespace skartina {

struct PersonBalance {
    std::int64_t available = 0;  // "Διαθέσιμο Υπόλοιπο Εισόδημα στη χρήση"
    std::int64_t final = 0;      // "Τ ε λ ι κ ό   Δ ι α θ έ σ ι μ ο   Υ π ό λ ο ι π ο"
};

struct YearBalance {
    int year = 0;
    PersonBalance taxpayer;
    PersonBalance spouse;
    bool hasFigures = false;  // an amount was retrieved or typed into the year
    const PersonBalance& of(Person person) const { return person == Person::Taxpayer ? taxpayer : spouse; }
};

struct BalanceSeries {
    std::vector<YearBalance> years;  // oldest first
    // A married year, or a spouse figure in any year: the spouse is someone to speak of.
    bool hasSpouse = false;
};

// The balances of a recalculated sheet. Throws SheetError for a balance cell
// that is not an amount or does not fit in cents.
BalanceSeries ReadBalanceSeries(const Sheet& sheet);

}  // namespace skartina
