// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The income figures of a year (sheet rows 3 to 6) from its E1 amounts.

#include "e1/E1CodeTable.h"
#include "e1/YearFigures.h"

namespace skartina {

// The income that was taxed, rebuilt from the per-source codes; clamped at 0.
double TaxedIncome(const E1CodeTable& e1, int year, Person person);
// Untaxed or specially taxed income; may be negative.
double SpecialIncome(const E1CodeTable& e1, int year, Person person);
double RepatriatedCapital(const E1CodeTable& e1, Person person);
double AssetSaleIncome(const E1CodeTable& e1, Person person);

}  // namespace skartina
