// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A code table from a list of "code, amount" pairs.

#include "e1/E1CodeTable.h"

#include <initializer_list>
#include <utility>

namespace skartina::test {

inline E1CodeTable Table(std::initializer_list<std::pair<int, double>> amounts) {
    E1CodeTable e1;
    for (const auto& [code, amount] : amounts) e1.set(code, amount);
    return e1;
}

}  // namespace skartina::test
