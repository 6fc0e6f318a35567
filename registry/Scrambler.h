// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The character substitution that keeps the lines of a taxpayer record file
// from showing names and passwords in clear. It hides, it does not protect.

#include <string>
#include <string_view>

namespace skartina {

// What marks a scrambled line.
inline constexpr std::string_view kScrambledPrefix = "#@1";

// The two substitution tables, 110 characters each; the second holds the same
// characters as the first in another order, so every text reads back.
std::u32string_view PlainTable();
std::u32string_view ScrambledTable();

// "#@1" followed by the text with every character of the plain table replaced
// by the character at the same place in the scrambled table; other characters
// stay as they are.
std::string ScrambleText(std::string_view text);

// The reverse; a line without the "#@1" mark was stored in clear and comes
// back unchanged.
std::string UnscrambleText(std::string_view line);

}  // namespace skartina
