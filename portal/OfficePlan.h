// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What an office run is asked to do and how each of its clients ended: the
// shared words of the run, its journal and its report.

#include <string>
#include <vector>

namespace skartina {

// The run's choice: the clients in the order they are taken, the years, and
// the login (one as the accountant, or each client's own).
struct OfficePlan {
    std::string started;            // "YYYYMMDD-HHMMSS", local time; names the report
    std::vector<std::string> taxNumbers;  // in run order, each once
    std::vector<int> years;         // newest first, each once
    bool accountant = false;
    std::string accountantUser;     // with `accountant`
    bool operator==(const OfficePlan&) const = default;
};

enum class OfficeYearEnd { Read, NoReturn, Failed, NotReached };

struct OfficeYear {
    int year = 0;
    OfficeYearEnd end = OfficeYearEnd::NotReached;
    std::string reason;  // why it failed, or why it was not reached
    bool operator==(const OfficeYear&) const = default;
};

// A client as the run left it.
struct OfficeClient {
    std::string taxNumber;
    std::string name;               // surname and first name, as the register has them
    std::vector<OfficeYear> years;  // newest first
    bool operator==(const OfficeClient&) const = default;
};

// "Άντληση" words of an ending, as the report and the summary give it.
const char* OfficeYearEndText(OfficeYearEnd end);

}  // namespace skartina
