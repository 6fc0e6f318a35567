// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a year rule's figure reaches the sheet: into its row of the year's
// column for the person, as amount text when above 0 and empty otherwise.

#include "sheet/Sheet.h"

namespace skartina {

inline constexpr Person kPersons[] = {Person::Taxpayer, Person::Spouse};

// The code of the person: the taxpayer's odd code, or the spouse's next one.
inline constexpr int CodeOf(int taxpayerCode, Person person) {
    return person == Person::Spouse ? taxpayerCode + 1 : taxpayerCode;
}

// Throws std::out_of_range when the year has no columns in the sheet.
// The amount, computed in floating point, is rounded to cents as
// MoneyFromDouble rounds.
void PublishFigure(Sheet& sheet, int year, int row, Person person, double amount);

}  // namespace skartina
