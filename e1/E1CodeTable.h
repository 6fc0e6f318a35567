// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One year's E1 return as amounts by code number: the odd code is the
// taxpayer's, the even code above it the spouse's. A ticked check box reads 1.

#include <array>
#include <stdexcept>
#include <string>

namespace skartina {

class E1CodeTable {
public:
    static constexpr int kLastCode = 1000;

    static constexpr bool IsCode(int code) { return code >= 0 && code <= kLastCode; }

    double operator[](int code) const { return amounts_.at(static_cast<size_t>(code)); }
    // Throws std::out_of_range for a code outside 0 to 1000.
    void set(int code, double amount) { amounts_.at(static_cast<size_t>(code)) = amount; }
    void clear() { amounts_.fill(0.0); }

private:
    std::array<double, kLastCode + 1> amounts_{};
};

}  // namespace skartina
