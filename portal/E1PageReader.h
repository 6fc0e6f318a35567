#pragma once
// Reads a year's E1 return shown as an HTML page (the years up to 2013): its
// input fields are named "n" followed by the code, a check box reads 1 when
// ticked, an amount is in the portal's notation ("12.345,67").

#include "e1/E1CodeTable.h"
#include "portal/Browser.h"
#include "portal/PortalHosts.h"

#include <optional>
#include <string>

namespace skartina {

// The title of the window that shows a return.
inline constexpr const char* kReturnWindowTitle = "ΥΠΟΒΟΛΗ ΑΡΧΙΚΗΣ ΔΗΛΩΣΗΣ";

// The part of the address of the return's window for the year text.
std::string E1PageAddress(const PortalHosts& hosts, const std::string& yearText);

// The code a field's name stands for ("n0301" is 301); nullopt for any other
// name or a code outside 1 to 999.
std::optional<int> FieldCode(const std::string& name);

// Stores the fields of the searched documents in the table, a later field of
// a code over an earlier one.
void StoreE1Fields(const std::vector<ElementFields>& fields, E1CodeTable& e1);

// Whether one of the return's fields holds the client's tax number as a whole
// number: a return of another taxpayer is never taken for the client's.
bool FieldsNameAfm(const std::vector<ElementFields>& fields, const std::string& afm);

struct E1PageFound {
    BrowserRef browser;  // the window the return was found in
    bool namesClient = false;
};

// Waits (up to 20 s) for the year's return, reads it into the table when it
// names the client's tax number, and closes its window. Returns the window the
// return was found in (the retrieval's current portal browser from then on)
// and whether the return named the client (else the table is untouched);
// nothing, with the table untouched, when the return did not appear.
std::optional<E1PageFound> ReadE1Page(Browser& browser, const PortalHosts& hosts, const std::string& yearText,
                                      const std::string& afm, E1CodeTable& e1);

}  // namespace skartina
