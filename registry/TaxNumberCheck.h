// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The check digit of the Greek tax registration number (ΑΦΜ).

#include <string_view>

namespace skartina {

// True for an empty text and for a text whose last nine characters are digits
// with a matching check digit; what comes before those nine does not count
// ("EL123456783" passes). This is the edit field's look while typing: a bad
// number is shown, never refused.
bool IsValidTaxNumber(std::string_view text);

// True when the whole text is one tax number: exactly nine digits with a
// matching check digit, and not nine zeros. What a command that is given a
// tax number requires.
bool IsWholeTaxNumber(std::string_view text);

// True when the text names the tax number as a whole number: the nine digits
// stand there with no digit right before or after them, so that "4567" or a
// part of a longer number never counts. A tax number that is not nine digits
// is named nowhere.
bool NamesTaxNumber(std::string_view text, std::string_view taxNumber);

}  // namespace skartina
