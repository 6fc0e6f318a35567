// SPDX-License-Identifier: GPL-3.0-or-later
#include "registry/Scrambler.h"

#include <unicode/utf8.h>

namespace skartina {
namespace {

// Digits, Latin and Greek letters: what names, user names and passwords are
// made of. Final sigma, accented letters and punctuation pass unchanged (the
// tables have room for 110 characters only).
constexpr std::u32string_view kPlain =
    U"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
    U"ΑΒΓΔΕΖΗΘΙΚΛΜΝΞΟΠΡΣΤΥΦΧΨΩαβγδεζηθικλμνξοπρστυφχψω";
// A shuffle of the same characters in which none keeps its place.
constexpr std::u32string_view kScrambled =
    U"ΧqhPm68VνZtηQΗb4γμω1ΝuξφβedAιLkrΔ7vwWΜΙΑpsXσ9Ψzπ0jΟEΓDυYζNΥΣ5aHcFiSεnχΩ"
    U"CIΚMOxΒlBρ2ΡRGJκΛTΤUτψyofοgδΠλαΕΦθΖΞ3KΘ";
static_assert(kPlain.size() == 110 && kScrambled.size() == 110);

// Replaces every character found in `from` by the one at its place in `to`.
std::string Substitute(std::string_view text, std::u32string_view from, std::u32string_view to) {
    std::string out;
    out.reserve(text.size());
    int32_t i = 0;
    const auto length = static_cast<int32_t>(text.size());
    while (i < length) {
        const int32_t start = i;
        UChar32 c = 0;
        U8_NEXT(text.data(), i, length, c);
        const size_t at = c < 0 ? std::u32string_view::npos : from.find(static_cast<char32_t>(c));
        if (at == std::u32string_view::npos) {
            out.append(text.substr(start, i - start));  // kept byte for byte, malformed bytes included
            continue;
        }
        char buffer[U8_MAX_LENGTH];
        int32_t used = 0;
        U8_APPEND_UNSAFE(buffer, used, static_cast<UChar32>(to[at]));  // the tables hold valid characters only
        out.append(buffer, static_cast<size_t>(used));
    }
    return out;
}

}  // namespace

std::u32string_view PlainTable() { return kPlain; }
std::u32string_view ScrambledTable() { return kScrambled; }

std::string ScrambleText(std::string_view text) {
    return std::string(kScrambledPrefix) + Substitute(text, kPlain, kScrambled);
}

std::string UnscrambleText(std::string_view line) {
    if (!line.starts_with(kScrambledPrefix)) return std::string(line);
    return Substitute(line.substr(kScrambledPrefix.size()), kScrambled, kPlain);
}

}  // namespace skartina
