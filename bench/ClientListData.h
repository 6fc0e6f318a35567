// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A large office's client list for the register benchmarks: valid tax numbers
// and Greek names, the same text on every run.

#include <string>

namespace skartina::bench {

// The n-th valid tax number: eight digits and their check digit.
std::string NthTaxNumber(int n);

// A client list of `lines` clients in the import's CSV form, header included.
std::string ClientListText(int lines);

}  // namespace skartina::bench
