// SPDX-License-Identifier: GPL-3.0-or-later
#include "e1/YearFigures.h"

#include "sheet/Amount.h"

#include <stdexcept>

namespace skartina {

void PublishFigure(SheetGrid& grid, int year, int row, Person person, double amount) {
    const int column = person == Person::Taxpayer ? TaxpayerColumnOf(year) : SpouseColumnOf(year);
    if (column < 1 || column >= grid.columnCount())
        throw std::out_of_range("Το έτος " + std::to_string(year) + " δεν υπάρχει στο φύλλο.");
    grid.setCell(column, row, amount > 0 ? FormatAmount(amount) : std::string());
}

}  // namespace skartina
