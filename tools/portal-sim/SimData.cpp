// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/portal-sim/SimData.h"

#include "common/TextFile.h"
#include "e1/CodeList.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

namespace skartina::sim {

bool IsTaxNumberText(const std::string& text) {
    return text.size() == 9 && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

SimData::SimData(std::filesystem::path folder) : folder_(std::move(folder)) {
    std::istringstream lines(ReadFileBytes(folder_ / "accounts.txt"));
    std::string line;
    for (size_t number = 1; std::getline(lines, line); ++number) {
        std::istringstream words(line);
        std::string user, password, taxNumber, extra;
        if (!(words >> user)) continue;
        if (!(words >> password >> taxNumber) || (words >> extra) || (taxNumber != "*" && !IsTaxNumberText(taxNumber)))
            throw std::runtime_error("accounts.txt line " + std::to_string(number) + ": expected \"username password AFM\" or \"username password *\"");
        accounts_[user] = {password, taxNumber};
    }
}

const Account* SimData::Login(const std::string& user, const std::string& password) const {
    const auto it = accounts_.find(user);
    return it != accounts_.end() && it->second.password == password ? &it->second : nullptr;
}

E1CodeTable SimData::Return(const std::string& taxNumber, int year) const {
    E1CodeTable e1;
    if (!IsTaxNumberText(taxNumber)) return e1;
    const std::filesystem::path file = folder_ / taxNumber / (std::to_string(year) + ".txt");
    if (std::filesystem::exists(file)) ReadCodeList(ReadFileBytes(file), e1);
    return e1;
}

}  // namespace skartina::sim
