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

// The text of an amount from its cents as decimal digits (leading zeros allowed).
std::string AmountText(std::string cents, bool negative) {
    cents.erase(0, std::min(cents.find_first_not_of('0'), cents.size()));
    const bool zero = cents.empty();
    if (cents.size() < 3) cents.insert(0, 3 - cents.size(), '0');

    const size_t whole = cents.size() - 2;
    std::string out;
    out.reserve(cents.size() + whole / 3 + 2);
    if (negative && !zero) out += '-';
    for (size_t i = 0; i < whole; ++i) {
        if (i > 0 && (whole - i) % 3 == 0) out += '.';
        out += cents[i];
    }
    out += ',';
    out.append(cents, whole, 2);
    return out;
}

// The parts of an amount's text: its sign, its whole digits and its decimals.
struct AmountParts {
    bool negative = false;
    std::string whole;
    std::string decimals;
};

std::optional<AmountParts> SplitAmount(std::string_view text) {
    AmountParts parts;
    size_t i = 0;
    if (!text.empty() && text[0] == '-') {
        parts.negative = true;
        i = 1;
    }
    bool comma = false;
    for (; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch >= '0' && ch <= '9') {
            (comma ? parts.decimals : parts.whole) += ch;
        } else if (ch == ',') {
            if (comma) return std::nullopt;
            comma = true;
        } else if (ch != '.') {
            return std::nullopt;
        }
    }
    if (parts.whole.empty() && parts.decimals.empty()) return std::nullopt;
    return parts;
}

}  // namespace

std::optional<Money> Money::CheckedAdd(Money a, Money b) {
    std::int64_t sum = 0;
    if (__builtin_add_overflow(a.cents_, b.cents_, &sum) || sum == INT64_MIN) return std::nullopt;
    return Money(sum);
}

std::optional<Money> Money::CheckedSub(Money a, Money b) {
    std::int64_t difference = 0;
    if (__builtin_sub_overflow(a.cents_, b.cents_, &difference) || difference == INT64_MIN) return std::nullopt;
    return Money(difference);
}

namespace {

// Writes the amount's text backwards from `end`; returns where it starts.
char* WriteAmountBefore(Money value, char* end) {
    const std::int64_t cents = value.cents();
    // The magnitude of the lowest value does not fit; Money never holds it.
    std::uint64_t magnitude = static_cast<std::uint64_t>(cents < 0 ? -cents : cents);
    // Two decimals, the comma, then groups of three.
    char* p = end;
    *--p = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
    *--p = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
    *--p = ',';
    int group = 0;
    do {
        if (group++ == 3) {
            *--p = '.';
            group = 1;
        }
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (cents < 0) *--p = '-';
    return p;
}

constexpr size_t kLongestAmount = 32;  // "-92.233.720.368.547.758,07" and room

}  // namespace

std::string WriteAmount(Money value) {
    char buf[kLongestAmount];
    return std::string(WriteAmountBefore(value, buf + sizeof buf), buf + sizeof buf);
}

bool IsWrittenAmount(std::string_view text, Money value) {
    char buf[kLongestAmount];
    const char* start = WriteAmountBefore(value, buf + sizeof buf);
    return text == std::string_view(start, static_cast<size_t>(buf + sizeof buf - start));
}

std::optional<Money> ReadAmount(std::string_view text) {
    // Read in place: the sheet's every cell passes here when a file is opened.
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) i = 1;
    constexpr auto kMax = static_cast<std::uint64_t>(INT64_MAX);
    std::uint64_t cents = 0;
    bool digit = false;
    bool comma = false;
    int decimals = 0;
    bool roundUp = false;
    const auto push = [&](unsigned d) {
        if (cents > (kMax - d) / 10) return false;
        cents = cents * 10 + d;
        return true;
    };
    for (; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch >= '0' && ch <= '9') {
            digit = true;
            if (!comma || decimals < 2) {
                if (!push(static_cast<unsigned>(ch - '0'))) return std::nullopt;
                if (comma) ++decimals;
            } else if (decimals++ == 2) {
                roundUp = ch >= '5';
            }
        } else if (ch == ',') {
            if (comma) return std::nullopt;
            comma = true;
        } else if (ch != '.') {
            return std::nullopt;
        }
    }
    if (!digit) return std::nullopt;
    for (; decimals < 2; ++decimals)
        if (!push(0)) return std::nullopt;
    if (roundUp) {
        if (cents == kMax) return std::nullopt;
        ++cents;
    }
    const auto signedCents = static_cast<std::int64_t>(cents);
    return Money::FromCents(negative ? -signedCents : signedCents);
}

std::optional<Money> MoneyFromDouble(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const std::string cents = CentsOf(std::fabs(value));
    std::int64_t magnitude = 0;
    const auto [end, ec] = std::from_chars(cents.data(), cents.data() + cents.size(), magnitude);
    if (ec != std::errc() || end != cents.data() + cents.size()) return std::nullopt;
    return Money::FromCents(value < 0 ? -magnitude : magnitude);
}

std::string FormatAmount(double value) {
    if (!std::isfinite(value)) throw std::range_error("Το ποσό είναι εκτός ορίων.");
    return AmountText(CentsOf(std::fabs(value)), value < 0);
}

std::optional<double> ParseAmount(std::string_view text) {
    if (text.empty()) return 0.0;
    const auto parts = SplitAmount(text);
    if (!parts) return std::nullopt;
    // Rebuilt in C notation; the leading "0" lets ",5" read as 0,5.
    std::string plain;
    plain.reserve(text.size() + 2);
    if (parts->negative) plain += '-';
    plain += '0';
    plain += parts->whole;
    if (!parts->decimals.empty()) plain += '.' + parts->decimals;

    double value = 0;
    const char* first = plain.data();
    const char* last = plain.data() + plain.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace skartina
