// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A year's E1 amounts written as text: one "code amount" pair a line, the
// amount in C notation ("1234.56"); blank lines and lines starting with #
// are skipped.

#include "e1/E1CodeTable.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace skartina {

class CodeListError : public std::runtime_error {
public:
    CodeListError(const std::string& what, size_t line) : std::runtime_error(what), line_(line) {}
    size_t line() const { return line_; }  // from 1

private:
    size_t line_;
};

// Stores every pair in the table; throws CodeListError naming the first bad line.
void ReadCodeList(std::string_view text, E1CodeTable& e1);

// The table's non-zero amounts in the same notation, ascending code, each
// amount with the digits that read back the same value.
std::string WriteCodeList(const E1CodeTable& e1);

}  // namespace skartina
