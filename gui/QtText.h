// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's UTF-8 text as the windows show it.

#include <QString>

#include <string_view>

namespace skartina {

inline QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace skartina
