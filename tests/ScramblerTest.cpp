// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Codepage.h"
#include "registry/Scrambler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <unicode/utf8.h>

namespace skartina {
namespace {

std::string Utf8(char32_t c) {
    char buffer[U8_MAX_LENGTH];
    int32_t used = 0;
    U8_APPEND_UNSAFE(buffer, used, static_cast<UChar32>(c));
    return std::string(buffer, static_cast<size_t>(used));
}

TEST(Scrambler, TablesHoldTheSameCharactersInAnotherOrder) {
    std::u32string plain(PlainTable()), scrambled(ScrambledTable());
    ASSERT_EQ(plain.size(), 110u);
    ASSERT_EQ(scrambled.size(), 110u);
    for (size_t i = 0; i < plain.size(); ++i) EXPECT_NE(plain[i], scrambled[i]) << "place " << i;
    std::sort(plain.begin(), plain.end());
    std::sort(scrambled.begin(), scrambled.end());
    EXPECT_EQ(std::adjacent_find(plain.begin(), plain.end()), plain.end()) << "a character twice";
    EXPECT_EQ(plain, scrambled);
}

TEST(Scrambler, EveryCharacterOfTheTableChangesAndComesBack) {
    std::string all;
    for (char32_t c : PlainTable()) {
        const std::string one = Utf8(c);
        const std::string line = ScrambleText(one);
        EXPECT_EQ(line.substr(0, 3), "#@1");
        EXPECT_NE(line.substr(3), one);
        EXPECT_EQ(UnscrambleText(line), one);
        all += one;
    }
    const std::string line = ScrambleText(all);
    EXPECT_EQ(UnscrambleText(line), all);
}

TEST(Scrambler, MixedTextsRoundTripAndKeepTheirLength) {
    for (const std::string text : {"", "ΠΑΠΑΔΟΠΟΥΛΟΣ", "Παπαδόπουλος", "Ο'Brien-Smith & Υιοί Α.Ε.", "p@ss w0rd!;€",
                                   "ϊΐΰώ \t", "123456783"}) {
        const std::string line = ScrambleText(text);
        EXPECT_TRUE(line.starts_with("#@1")) << text;
        // One byte a character in the file's code page, whichever alphabet a character turns into.
        EXPECT_EQ(Utf8ToCp1253(line).size(), Utf8ToCp1253(text).size() + 3) << text;
        EXPECT_EQ(UnscrambleText(line), text) << text;
    }
    EXPECT_EQ(ScrambleText(""), "#@1");
    // Characters outside the tables pass as they are.
    EXPECT_EQ(ScrambleText("-.,;!"), "#@1-.,;!");
}

TEST(Scrambler, ALineStoredInClearReadsBackUnchanged) {
    for (const std::string line : {"ΠΑΠΑΔΟΠΟΥΛΟΣ", "", "#@", "#1@abc", " #@1abc"}) EXPECT_EQ(UnscrambleText(line), line);
}

}  // namespace
}  // namespace skartina
