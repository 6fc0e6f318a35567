// SPDX-License-Identifier: GPL-3.0-or-later
#include "registry/IntEdit.h"

#include <charconv>

namespace skartina {

bool IntEditAcceptsCharacter(char32_t typed) { return typed == U'\b' || typed == U'-' || (typed >= U'0' && typed <= U'9'); }

std::optional<int32_t> IntEditValue(std::string_view text) {
    if (text.empty() || text == "-") return 0;
    int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace skartina
