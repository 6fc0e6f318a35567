// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Trimming of blanks: spaces, tabs, line ends and the other control characters.

#include <string_view>

namespace skartina {

inline std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

}  // namespace skartina
