// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The option parser's complaints in the programs' own words (Greek), naming
// what was not taken. Header-only: both programs read their options with CLI11.

#include <CLI/App.hpp>

#include <string>

namespace skartina {

inline std::string QuotedWords(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "«" : " «") + word + "»";
    return text;
}

// The sentence for a parse error of `command` (the program or one of its
// commands); `unexpected` are the words no one took.
inline std::string ParserMessage(const CLI::ParseError& error, const std::vector<std::string>& unexpected) {
    const std::string what = error.what();
    if (dynamic_cast<const CLI::ExtrasError*>(&error) || !unexpected.empty())
        return "άγνωστη ή περιττή παράμετρος: " + QuotedWords(unexpected);
    if (dynamic_cast<const CLI::RequiredError*>(&error)) {
        const size_t end = what.rfind(" is required");
        return "λείπει το " + (end == std::string::npos ? what : what.substr(0, end));
    }
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error)) return "λείπει η τιμή του " + what.substr(0, what.find(':'));
    return what;
}

}  // namespace skartina
