// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The simulated portal's data folder: accounts.txt with lines "username
// password AFM" (a taxpayer) or "username password *" (an accountant who may
// pick any client), and AFM/YEAR.txt with a year's "code amount" pairs, the
// codes as the return shows them.

#include "e1/E1CodeTable.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace skartina::sim {

struct Account {
    std::string password;
    std::string taxNumber;  // "*" for an accountant
    bool accountant() const { return taxNumber == "*"; }
};

class SimData {
public:
    // Throws std::runtime_error naming the file and line of a bad entry.
    explicit SimData(std::filesystem::path folder);

    const Account* Login(const std::string& user, const std::string& password) const;
    // The client's return of the year; an all-zero table when there is none.
    // A tax number that is not nine digits is never looked up on disk.
    E1CodeTable Return(const std::string& taxNumber, int year) const;

private:
    std::filesystem::path folder_;
    std::map<std::string, Account> accounts_;
};

bool IsTaxNumberText(const std::string& text);

}  // namespace skartina::sim
