// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The option parser's complaints in the programs' own words (Greek), naming
// what was not taken. Header-only: both programs read their options with CLI11.
// The parser's own sentences are English: each kind of error is told anew
// from the names its sentence carries, and a kind not known here gets a
// general sentence rather than the parser's.

#include <CLI/App.hpp>

#include <string>
#include <vector>

namespace skartina {

inline std::string QuotedWords(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "«" : " «") + word + "»";
    return text;
}

// The words of the parser's sentence between `before` and `after` (to its end
// when `after` is empty); empty when `before` is not there.
inline std::string WordsBetween(const std::string& what, const std::string& before, const std::string& after) {
    const size_t start = before.empty() ? 0 : what.find(before);
    if (start == std::string::npos) return {};
    const size_t from = start + before.size();
    const size_t end = after.empty() ? std::string::npos : what.find(after, from);
    if (end == std::string::npos && !after.empty()) return {};
    return what.substr(from, end == std::string::npos ? std::string::npos : end - from);
}

// Whether the option of that name takes no value, looked up in the command
// and in the program above it.
inline bool IsSwitchWithoutValue(const CLI::App* command, const std::string& name) {
    for (; command; command = command->get_parent())
        if (const CLI::Option* option = command->get_option_no_throw(name)) return option->get_expected_max() == 0;
    return false;
}

inline constexpr const char* kGeneralParserMessage = "οι παράμετροι της εντολής δεν έγιναν δεκτές";

// The sentence for a parse error of `command` (the program or one of its
// commands); `unexpected` are the words no one took.
inline std::string ParserMessage(const CLI::ParseError& error, const std::vector<std::string>& unexpected,
                                 const CLI::App* command = nullptr) {
    const std::string what = error.what();
    if (dynamic_cast<const CLI::ExtrasError*>(&error) || !unexpected.empty()) {
        if (!unexpected.empty()) return "άγνωστη ή περιττή παράμετρος: " + QuotedWords(unexpected);
        const std::string words = WordsBetween(what, "expected: ", "");
        return words.empty() ? "άγνωστη ή περιττή παράμετρος" : "άγνωστη ή περιττή παράμετρος: " + QuotedWords({words});
    }
    if (dynamic_cast<const CLI::RequiredError*>(&error)) {
        const size_t end = what.rfind(" is required");
        if (end != std::string::npos && end > 0) return "λείπει το " + what.substr(0, end);
    } else if (dynamic_cast<const CLI::ArgumentMismatch*>(&error)) {
        const std::string name = what.substr(0, what.find_first_of(": "));
        // "NAME: At Most 1 required but received 2": an option of one value given again.
        if (what.find(": At Most 1 required") != std::string::npos) return "το " + name + " δόθηκε περισσότερες από μία φορές";
        if (what.find(": At Most ") != std::string::npos) return "περισσότερες τιμές από όσες δέχεται το " + name;
        if (what.find(" was given a disallowed flag override") != std::string::npos) return "το " + name + " δεν παίρνει τιμή";
        // "NAME: 1 required TYPE missing", "NAME: At Least 2 required but received 1".
        if (what.find(" missing") != std::string::npos || what.find(": At Least ") != std::string::npos)
            return "λείπει η τιμή του " + name;
        // "Expected exactly 2 arguments to NAME, got 1".
        if (const std::string to = WordsBetween(what, " arguments to ", ","); !to.empty()) return "λείπει η τιμή του " + to;
    } else if (dynamic_cast<const CLI::ConversionError*>(&error)) {
        // "Could not convert: NAME = VALUE".
        const std::string name = WordsBetween(what, "Could not convert: ", " = ");
        const std::string value = WordsBetween(what, " = ", "");
        if (!name.empty()) {
            if (IsSwitchWithoutValue(command, name)) return "το " + name + " δεν παίρνει τιμή: " + QuotedWords({value});
            return "μη αποδεκτή τιμή του " + name + ": " + QuotedWords({value});
        }
    } else if (dynamic_cast<const CLI::ValidationError*>(&error)) {
        // "NAME: why", the why being the program's own check.
        return what;
    } else if (dynamic_cast<const CLI::RequiresError*>(&error)) {
        const std::string name = WordsBetween(what, "", " requires ");
        if (!name.empty()) return "το " + name + " θέλει και το " + WordsBetween(what, " requires ", "");
    } else if (dynamic_cast<const CLI::ExcludesError*>(&error)) {
        const std::string name = WordsBetween(what, "", " excludes ");
        if (!name.empty()) return "το " + name + " δεν δίνεται μαζί με το " + WordsBetween(what, " excludes ", "");
    }
    return kGeneralParserMessage;
}

}  // namespace skartina
