// SPDX-License-Identifier: GPL-3.0-or-later
#include "registry/TaxNumberCheck.h"

namespace skartina {
namespace {

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

bool NineDigits(std::string_view text) {
    if (text.size() != 9) return false;
    for (char ch : text)
        if (!IsDigit(ch)) return false;
    return true;
}

}  // namespace

bool IsValidTaxNumber(std::string_view text) {
    if (text.empty()) return true;
    // Bytes stand for characters here: any character outside ASCII is not a
    // digit, so a text holding one in its last nine characters (or a text of
    // fewer than nine characters) fails either way.
    if (text.size() < 9) return false;
    const std::string_view digits = text.substr(text.size() - 9);
    int sum = 0;
    for (size_t i = 0; i < 9; ++i) {
        if (!IsDigit(digits[i])) return false;
        if (i < 8) sum += (digits[i] - '0') << (8 - i);
    }
    return digits[8] - '0' == sum % 11 % 10;
}

bool IsWholeTaxNumber(std::string_view text) {
    // Nine zeros pass the check digit but name nobody.
    return NineDigits(text) && text != "000000000" && IsValidTaxNumber(text);
}

bool NamesTaxNumber(std::string_view text, std::string_view taxNumber) {
    if (!NineDigits(taxNumber)) return false;
    for (size_t at = text.find(taxNumber); at != std::string_view::npos; at = text.find(taxNumber, at + 1)) {
        const bool digitBefore = at > 0 && IsDigit(text[at - 1]);
        const bool digitAfter = at + taxNumber.size() < text.size() && IsDigit(text[at + taxNumber.size()]);
        if (!digitBefore && !digitAfter) return true;
    }
    return false;
}

}  // namespace skartina
