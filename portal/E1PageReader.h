// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads a year's E1 return shown as an HTML page (the years up to 2013): its
// input fields are named "n" followed by the code, a check box reads 1 when
// ticked, an amount is in the portal's notation ("12.345,67").

#include "e1/E1CodeTable.h"
#include "portal/Browser.h"

#include <optional>
#include <string>
#include <vector>

namespace skartina {

// The code a field's name stands for ("n0301" is 301); nullopt for any other
// name or a code outside 1 to 999.
std::optional<int> FieldCode(const std::string& name);

// Stores the fields of the searched documents in the table, a later field of
// a code over an earlier one.
void StoreE1Fields(const std::vector<ElementFields>& fields, E1CodeTable& e1);

// Whether one of the return's fields holds the client's tax number as a whole
// number: a return of another taxpayer is never taken for the client's.
bool FieldsNameTaxNumber(const std::vector<ElementFields>& fields, const std::string& taxNumber);

// Whether a page's text shows the tax number: written whole, or a digit (or
// a few) at a time in boxes that blanks of one line separate. The number
// must stand on its own: a longer number that holds it does not count.
bool PageTextNamesTaxNumber(const std::string& text, const std::string& taxNumber);

}  // namespace skartina
