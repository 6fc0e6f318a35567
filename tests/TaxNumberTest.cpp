// SPDX-License-Identifier: GPL-3.0-or-later
#include "registry/TaxNumberCheck.h"
#include "registry/IntEdit.h"

#include <gtest/gtest.h>

namespace skartina {
namespace {

TEST(IsValidTaxNumber, TableOfCases) {
    const struct {
        const char* text;
        bool valid;
    } cases[] = {
        {"", true},
        {"123456783", true},    // S = 1004, R = 3
        {"123456784", false},
        {"100000090", true},    // R = 10: check digit 0
        {"100000091", false},
        {"000000000", true},
        {"000000012", true},
        {"12345678", false},    // eight digits
        {"EL123456783", true},  // only the last nine count
        {"ΕΛ123456783", true},  // also after Greek letters
        {"99123456783", true},
        {"12345678X", false},
        {"1234567 3", false},
        {"-23456783", false},
        {"ΑΒΓΔΕ", false},        // ten bytes, five characters
        {"Α1234567", false},     // eight characters in nine bytes
        {"1234567Α3", false},
        {"090000045", true},    // S = 256 * 0 + 128 * 9 + 2 * 4 = 1160, R = 5
        {"090000046", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsValidTaxNumber(c.text), c.valid) << "«" << c.text << "»";
}

TEST(IsWholeTaxNumber, OnlyNineDigitsWithTheirCheckDigit) {
    const struct {
        const char* text;
        bool whole;
    } cases[] = {
        {"123456783", true},  {"100000090", true},  {"000000012", true},
        {"", false},          {"000000000", false}, {" 123456783", false}, {"123456783 ", false},
        {"EL123456783", false}, {"0123456783", false}, {"12345678", false}, {"123456784", false},
        {"12345678X", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsWholeTaxNumber(c.text), c.whole) << "«" << c.text << "»";
}

TEST(NamesTaxNumber, OnlyTheWholeNumberCounts) {
    const struct {
        const char* text;
        const char* taxNumber;
        bool named;
    } cases[] = {
        {"Α.Φ.Μ. 123456783", "123456783", true},
        {"Α.Φ.Μ.:123456783\n", "123456783", true},
        {"123456783", "123456783", true},
        {"ΑΦΜ 0123456783", "123456783", false},     // part of a longer number
        {"ΑΦΜ 1234567831", "123456783", false},
        {"ΑΦΜ 9123456783 και 123456783", "123456783", true},  // a later whole mention counts
        {"Α.Φ.Μ. 123456783", "4567", false},         // a part of the number names nobody
        {"Α.Φ.Μ. 123456783", "", false},
        {"Α.Φ.Μ. 123 456 783", "123456783", false},
    };
    for (const auto& c : cases) EXPECT_EQ(NamesTaxNumber(c.text, c.taxNumber), c.named) << "«" << c.text << "» " << c.taxNumber;
}

TEST(IntEdit, ValueOfItsText) {
    const struct {
        const char* text;
        std::optional<int32_t> value;
    } cases[] = {
        {"", 0},           {"-", 0},           {"-5", -5},        {"2000", 2000},
        {"firstYearEdit", std::nullopt}, {"2147483647", 2147483647}, {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt}, {"1-2", std::nullopt}, {"12a", std::nullopt}, {"--1", std::nullopt},
        {" 12", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(IntEditValue(c.text), c.value) << "«" << c.text << "»";
}

TEST(IntEdit, TakesOnlyDigitsMinusAndBackspace) {
    for (char32_t ch : {U'0', U'5', U'9', U'-', U'\b'}) EXPECT_TRUE(IntEditAcceptsCharacter(ch)) << int(ch);
    // Enter, the clipboard shortcuts' control characters, letters, "+".
    for (char32_t ch : {U'\r', U'\x03', U'\x16', U'\x18', U'a', U'Α', U'+', U' ', U'.'})
        EXPECT_FALSE(IntEditAcceptsCharacter(ch)) << int(ch);
}

}  // namespace
}  // namespace skartina
