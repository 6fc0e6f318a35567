// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Κάλυψη δαπάνης": whether a person's final available balance after the
// newest year of the sheet covers an expense, told in Greek sentences. Each
// person justifies their own acquisitions: the persons are never summed.

#include "sheet/BalanceSeries.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skartina {

struct PersonCoverage {
    Person person = Person::Taxpayer;
    int year = 0;                  // whose final balance was used
    std::int64_t balance = 0;      // cents
    std::int64_t amount = 0;       // cents
    bool covered = false;
    std::int64_t difference = 0;   // what remains when covered, what is missing otherwise (cents, ≥ 0)
    std::string sentence;
};

struct CoverageAnswer {
    std::vector<PersonCoverage> persons;
    std::string yearsSentence;    // which years of the sheet count
    std::string missingSentence;  // the years without figures, which count as zero; empty when none
    // Every sentence, one a line, persons first.
    std::vector<std::string> lines() const;
};

// The amount of an expense as a person types it ("25000", "25.000,50",
// "25000.5"), in cents; nothing for a text that is not one amount above zero.
std::optional<std::int64_t> ExpenseCents(std::string_view typed);

// The coverage of an expense of `amount` cents (above 0) for one person, or,
// without one, for the taxpayer and, when the sheet has a spouse, the spouse.
CoverageAnswer CoverExpense(const BalanceSeries& series, std::int64_t amount, std::optional<Person> person = {});

// "Υπόχρεος", "Σύζυγος".
const char* PersonTitle(Person person);

// "12.345,67" for 1234567 cents: the sheet's amount format.
std::string FormatCents(std::int64_t cents);

}  // namespace skartina
