// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/Amount.h"
#include "sheet/HandEntry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace skartina {
namespace {

TEST(FormatAmount, RoundsLikeAPersonAndGroupsThousands) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0.0, "0,00"},
        {-0.0, "0,00"},
        {-0.004, "0,00"},
        {-0.005, "-0,01"},
        {1.115, "1,12"},
        {0.125, "0,13"},
        {-2.675, "-2,68"},
        {1.005, "1,01"},
        {0.1 + 0.2, "0,30"},
        {999.995, "1.000,00"},
        {100, "100,00"},
        {2500, "2.500,00"},
        {-1234.5, "-1.234,50"},
        {1234567.891, "1.234.567,89"},
        {-999999.999, "-1.000.000,00"},
        {1e20, "100.000.000.000.000.000.000,00"},
        {123456789012.345, "123.456.789.012,35"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatAmount(c.value), c.text) << c.value;
}

TEST(FormatAmount, RefusesValuesThatAreNotFinite) {
    EXPECT_THROW(FormatAmount(std::numeric_limits<double>::infinity()), std::range_error);
    EXPECT_THROW(FormatAmount(std::nan("")), std::range_error);
}

TEST(ParseAmount, ReadsSheetTextAndRejectsEverythingElse) {
    const struct {
        std::string text;
        std::optional<double> value;
    } cases[] = {
        {"", 0.0},
        {"0,00", 0.0},
        {"2.500,00", 2500.0},
        {"-1.234,5", -1234.5},
        {"1234,5", 1234.5},
        {"12.5", 125.0},
        {",5", 0.5},
        {"-,25", -0.25},
        {"7,", 7.0},
        {"1.2.3", 123.0},
        {"-", std::nullopt},
        {",", std::nullopt},
        {".", std::nullopt},
        {"abc", std::nullopt},
        {"1,2,3", std::nullopt},
        {" 12", std::nullopt},
        {"12 ", std::nullopt},
        {"+5", std::nullopt},
        {"1e5", std::nullopt},
        {"--1", std::nullopt},
        {"1-", std::nullopt},
        {"12€", std::nullopt},
        {"1" + std::string(400, '0'), std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseAmount(c.text), c.value) << '"' << c.text.substr(0, 20) << '"';
}

TEST(ParseAmount, ReadsBackEveryFormattedAmount) {
    for (long cents = -2'000'000; cents <= 2'000'000; cents += 997) {
        const double value = static_cast<double>(cents) / 100.0;
        const auto back = ParseAmount(FormatAmount(value));
        ASSERT_TRUE(back.has_value()) << value;
        EXPECT_EQ(FormatAmount(*back), FormatAmount(value));
        EXPECT_NEAR(*back, value, 1e-9);
    }
}

// What a typed amount becomes when the user leaves its cell: never ten or a
// hundred times the amount meant; what is not one amount is refused.
TEST(TypedAmount, ReadsWhatAPersonMeantOrRefuses) {
    const struct {
        const char* typed;
        std::optional<std::string> shown;  // nothing: refused
    } cases[] = {
        {"1234.5", "1.234,50"},    // the point before one final digit is the decimal comma
        {"1234.56", "1.234,56"},   // ... and before two
        {"1234,56", "1.234,56"},
        {"1.234", "1.234,00"},     // three digits after it: a thousands point
        {"1.234,5", "1.234,50"},
        {"1.234.567", "1.234.567,00"},
        {"1.234.5", "1.234,50"},
        {"12.5", "12,50"},
        {".5", "0,50"},
        {",5", "0,50"},
        {"7,", "7,00"},
        {"-3000", "-3.000,00"},
        {"-1.234,5", "-1.234,50"},
        {" 12 ", "12,00"},
        {"2.500,00", "2.500,00"},  // a figure of the sheet stays as it is
        {"", ""},
        {"  ", ""},
        {"12.34.5", std::nullopt},
        {"1.2345", std::nullopt},
        {"12.3456", std::nullopt},
        {"1..234", std::nullopt},
        {".234", std::nullopt},
        {"5.", std::nullopt},
        {"1,234", std::nullopt},   // three decimals: maybe a thousands comma, never cut to 1,23
        {"1,2,3", std::nullopt},
        {"1.234,5.6", std::nullopt},
        {"1,234.5", std::nullopt},
        {"abc", std::nullopt},
        {"12€", std::nullopt},
        {"1 234", std::nullopt},
        {"-", std::nullopt},
        {".", std::nullopt},
        {"+5", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(NormalizeTypedAmount(c.typed), c.shown) << '"' << c.typed << '"';
}

TEST(TypedAmount, ARefusedTextGivesTheCellItsAmountBack) {
    Sheet sheet(37);
    const CellPos cell{1, 3};
    SetCellText(sheet, 1, 3, "2.500,00");
    HandEntry entry;
    entry.currentCellReached(sheet, cell);
    entry.textEdited(sheet, cell);  // the sheet still holds the amount from before
    SetCellText(sheet, 1, 3, "12.34.5");
    EXPECT_TRUE(entry.currentCellReached(sheet, {1, 4}));
    EXPECT_EQ(CellText(sheet, 1, 3), "2.500,00");
    EXPECT_EQ(sheet.cell(1, 3).amount, Money::FromCents(250000));

    entry.textEdited(sheet, {1, 4});
    SetCellText(sheet, 1, 4, "1234.5");
    EXPECT_TRUE(entry.finish(sheet));
    EXPECT_EQ(CellText(sheet, 1, 4), "1.234,50");
    EXPECT_EQ(sheet.cell(1, 4).amount, Money::FromCents(123450));
}

}  // namespace
}  // namespace skartina
