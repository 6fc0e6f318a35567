// SPDX-License-Identifier: GPL-3.0-or-later
#include "e1/YearFigures.h"

#include "sheet/Amount.h"

#include <stdexcept>

namespace skartina {

namespace {

int ColumnOf(int columns, int year, Person person) {
    const int column = person == Person::Taxpayer ? TaxpayerColumnOf(year) : SpouseColumnOf(year);
    if (column < 1 || column >= columns)
        throw std::out_of_range("Το έτος " + std::to_string(year) + " δεν υπάρχει στο φύλλο.");
    return column;
}

}  // namespace

void PublishFigure(Sheet& sheet, int year, int row, Person person, double amount) {
    const int column = ColumnOf(sheet.columnCount(), year, person);
    const auto money = amount > 0 ? MoneyFromDouble(amount) : std::nullopt;
    if (amount > 0 && !money) throw std::out_of_range("Το ποσό είναι εκτός ορίων.");
    if (money)
        sheet.setAmount(column, row, *money);
    else
        sheet.clear(column, row);
}

}  // namespace skartina
