// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rules of the integer edit field: which typed characters it takes and
// the value its text stands for.

#include <cstdint>
#include <optional>
#include <string_view>

namespace skartina {

// Backspace, "-" and the digits reach the text; every other typed character
// (Enter and the clipboard shortcuts' control characters included) is dropped.
bool IntEditAcceptsCharacter(char32_t typed);

// The value of the field's text: 0 for an empty text and for "-" alone;
// otherwise the decimal integer. No value (the field keeps its old one and the
// user is told the text is not an integer) for any other text or for a number
// outside the signed 32-bit range.
std::optional<int32_t> IntEditValue(std::string_view text);

}  // namespace skartina
