// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/Amount.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace skartina {
namespace {

// Adds one to a string of decimal digits.
void Increment(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

// The magnitude in whole cents as decimal digits, rounded from its 15
// significant digits with halves going up.
std::string CentsOf(double magnitude) {
    char buf[40];
    const auto end = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14).ptr;
    // buf holds d.dddddddddddddde±x
    std::string digits;
    digits += buf[0];
    digits.append(buf + 2, 14);
    int exponent = 0;
    std::from_chars(buf + 17 + (buf[17] == '+'), end, exponent);
    // digits (15 of them) hold magnitude * 10^(14 - exponent); cents need 10^2.
    const int shift = exponent + 2 - 14;
    if (shift >= 0) return digits + std::string(static_cast<size_t>(shift), '0');
    const int kept = 15 + shift;
    if (kept < 0) return "0";
    const bool roundUp = digits[static_cast<size_t>(kept)] >= '5';
    std::string cents = kept == 0 ? "0" : digits.substr(0, static_cast<size_t>(kept));
    if (roundUp) Increment(cents);
    return cents;
}

}  // namespace

std::string FormatAmount(double value) {
    if (!std::isfinite(value)) throw std::range_error("Το ποσό είναι εκτός ορίων.");
    std::string cents = CentsOf(std::fabs(value));
    cents.erase(0, std::min(cents.find_first_not_of('0'), cents.size()));
    const bool zero = cents.empty();
    if (cents.size() < 3) cents.insert(0, 3 - cents.size(), '0');

    const std::string whole = cents.substr(0, cents.size() - 2);
    std::string out;
    if (value < 0 && !zero) out += '-';
    for (size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) out += '.';
        out += whole[i];
    }
    out += ',';
    out.append(cents, cents.size() - 2, 2);
    return out;
}

std::optional<double> ParseAmount(std::string_view text) {
    if (text.empty()) return 0.0;
    // Rebuilt in C notation; the leading "0" lets ",5" read as 0,5.
    std::string plain;
    plain.reserve(text.size() + 2);
    size_t i = 0;
    if (text[0] == '-') {
        plain += '-';
        i = 1;
    }
    plain += '0';
    bool comma = false;
    bool digit = false;
    for (; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch >= '0' && ch <= '9') {
            plain += ch;
            digit = true;
        } else if (ch == ',') {
            if (comma) return std::nullopt;
            comma = true;
            plain += '.';
        } else if (ch != '.') {
            return std::nullopt;
        }
    }
    if (!digit) return std::nullopt;

    double value = 0;
    const char* first = plain.data();
    const char* last = plain.data() + plain.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace skartina
