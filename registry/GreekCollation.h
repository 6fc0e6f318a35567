// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Comparison of names as a Greek user expects them ordered: α, Β, Γ, with
// upper and lower case equal. Built on ICU's Greek rules, so it does not
// depend on the locales the system has installed.

#include <memory>
#include <string>
#include <string_view>

namespace skartina {

class GreekCollation {
public:
    GreekCollation();  // throws std::runtime_error when ICU has no collator
    ~GreekCollation();
    GreekCollation(const GreekCollation&) = delete;
    GreekCollation& operator=(const GreekCollation&) = delete;

    // Negative, zero or positive, of two UTF-8 texts; case is ignored.
    int compare(std::string_view a, std::string_view b) const;

    // Bytes whose plain byte order is the order of compare(): a long list is
    // sorted on them, each text turned into its key once.
    std::string sortKey(std::string_view text) const;

    // Whether the text begins with the prefix as a reader sees it: as many
    // characters as the prefix has, equal when case and accents are ignored
    // ("Παπαδόπουλος" begins with "πα" and with "ΠΑΠΑΔΟΠ").
    bool startsWith(std::string_view text, std::string_view prefix) const;

    // One shared instance for the program.
    static const GreekCollation& instance();

private:
    struct Impl;  // ICU's collator, kept out of this header
    std::unique_ptr<Impl> impl_;
};

}  // namespace skartina
