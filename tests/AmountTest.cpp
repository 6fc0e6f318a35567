#include "sheet/Amount.h"

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

}  // namespace
}  // namespace skartina
