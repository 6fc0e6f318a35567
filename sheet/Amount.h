// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Amounts: held as whole cents (Money), written as text with two decimals,
// "." between thousands groups and "," before the decimals ("2.500,00",
// "-1.234,50"). This is the one reader and the one writer of that text.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace skartina {

// An exact amount in cents. Arithmetic that would leave the range of
// std::int64_t gives nothing rather than a wrong figure.
class Money {
public:
    constexpr Money() = default;
    static constexpr Money FromCents(std::int64_t cents) { return Money(cents); }
    constexpr std::int64_t cents() const { return cents_; }
    constexpr bool isZero() const { return cents_ == 0; }
    // Plain comparisons: <compare> is beyond what Qt's moc parses in the headers it reads.
    friend constexpr bool operator==(Money a, Money b) { return a.cents_ == b.cents_; }
    friend constexpr bool operator!=(Money a, Money b) { return a.cents_ != b.cents_; }
    friend constexpr bool operator<(Money a, Money b) { return a.cents_ < b.cents_; }
    friend constexpr bool operator<=(Money a, Money b) { return a.cents_ <= b.cents_; }
    friend constexpr bool operator>(Money a, Money b) { return a.cents_ > b.cents_; }
    friend constexpr bool operator>=(Money a, Money b) { return a.cents_ >= b.cents_; }

    constexpr Money operator-() const { return Money(-cents_); }  // never at the lowest value: see Checked*
    // Sum and difference, or nothing when they do not fit.
    static std::optional<Money> CheckedAdd(Money a, Money b);
    static std::optional<Money> CheckedSub(Money a, Money b);

private:
    constexpr explicit Money(std::int64_t cents) : cents_(cents) {}
    std::int64_t cents_ = 0;
};

// The largest amount a cell holds: 92.233.720.368.547.758,07.
inline constexpr Money kLargestMoney = Money::FromCents(INT64_MAX);

// The amount's text, always with two decimals.
std::string WriteAmount(Money value);
// Whether the text is WriteAmount(value), without building it.
bool IsWrittenAmount(std::string_view text, Money value);

// An optional "-", then digits with any "." (thousands marks, ignored) and at
// most one "," (the decimal comma). Decimals past the second are rounded,
// halves away from zero, as FormatAmount rounds. Anything else, empty text, or
// an amount larger than kLargestMoney is not an amount.
std::optional<Money> ReadAmount(std::string_view text);

// The cents of a value computed in floating point, rounded as a person and a
// spreadsheet do: taken to 15 significant digits, then halves away from zero.
// Nothing when the value is not finite or too large to hold.
std::optional<Money> MoneyFromDouble(double value);

// As WriteAmount of the value rounded as MoneyFromDouble rounds, for values of
// any size. A value that rounds to zero is "0,00". Throws std::range_error for
// a value that is not finite.
std::string FormatAmount(double value);

// As ReadAmount's grammar; empty text is 0, and the value is not rounded.
std::optional<double> ParseAmount(std::string_view text);

}  // namespace skartina
