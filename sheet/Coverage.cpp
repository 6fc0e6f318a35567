// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/Coverage.h"

#include "sheet/Amount.h"
#include "sheet/HandEntry.h"


namespace skartina {
namespace {

PersonCoverage Cover(const BalanceSeries& series, std::int64_t amount, Person person) {
    PersonCoverage answer;
    answer.person = person;
    answer.amount = amount;
    if (!series.years.empty()) {
        answer.year = series.years.back().year;
        answer.balance = series.years.back().of(person).final;
    }
    answer.covered = answer.balance >= amount;
    answer.difference = answer.covered ? answer.balance - amount : amount - answer.balance;
    answer.sentence = std::string(PersonTitle(person)) + ": το τελικό διαθέσιμο υπόλοιπο του " + std::to_string(answer.year) + " (" +
                      FormatCents(answer.balance) + ") " + (answer.covered ? "καλύπτει" : "δεν καλύπτει") +
                      " τη δαπάνη των " + FormatCents(amount) + "· " + (answer.covered ? "απομένουν " : "λείπουν ") +
                      FormatCents(answer.difference) + ".";
    return answer;
}

// "2003 έως 2009, 2011 και 2015": runs of three or more years as a range.
std::string ListYears(const std::vector<int>& years) {
    std::vector<std::string> parts;
    for (size_t i = 0; i < years.size();) {
        size_t end = i + 1;
        while (end < years.size() && years[end] == years[end - 1] + 1) ++end;
        if (end - i >= 3) {
            parts.push_back(std::to_string(years[i]) + " έως " + std::to_string(years[end - 1]));
        } else {
            for (size_t k = i; k < end; ++k) parts.push_back(std::to_string(years[k]));
        }
        i = end;
    }
    std::string text;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) text += i + 1 == parts.size() ? " και " : ", ";
        text += parts[i];
    }
    return text;
}

}  // namespace

const char* PersonTitle(Person person) { return person == Person::Taxpayer ? "Υπόχρεος" : "Σύζυγος"; }

std::optional<std::int64_t> ExpenseCents(std::string_view typed) {
    const std::optional<Money> value = ReadTypedMoney(typed);
    // 10^15 and above is beyond any balance the sheet holds.
    if (!value || value->cents() <= 0 || value->cents() >= 100'000'000'000'000'000) return std::nullopt;
    return value->cents();
}

std::string FormatCents(std::int64_t cents) { return WriteAmount(Money::FromCents(cents)); }

std::vector<std::string> CoverageAnswer::lines() const {
    std::vector<std::string> all;
    for (const PersonCoverage& person : persons) all.push_back(person.sentence);
    all.push_back(yearsSentence);
    if (!missingSentence.empty()) all.push_back(missingSentence);
    return all;
}

CoverageAnswer CoverExpense(const BalanceSeries& series, std::int64_t amount, std::optional<Person> person) {
    CoverageAnswer answer;
    if (person) {
        answer.persons.push_back(Cover(series, amount, *person));
    } else {
        answer.persons.push_back(Cover(series, amount, Person::Taxpayer));
        if (series.hasSpouse) answer.persons.push_back(Cover(series, amount, Person::Spouse));
    }
    if (series.years.empty()) {
        answer.yearsSentence = "Το φύλλο δεν έχει κανένα έτος.";
        return answer;
    }
    const int oldest = series.years.front().year;
    const int newest = series.years.back().year;
    answer.yearsSentence = oldest == newest
        ? "Μετρά μόνο το έτος " + std::to_string(newest) + " του φύλλου."
        : "Μετρούν τα έτη " + std::to_string(oldest) + " έως " + std::to_string(newest) + " του φύλλου.";
    std::vector<int> missing;
    for (const YearBalance& year : series.years)
        if (!year.hasFigures) missing.push_back(year.year);
    if (missing.size() == 1)
        answer.missingSentence = "Το έτος " + ListYears(missing) +
                                 " δεν έχει ποσά στο φύλλο (δεν αντλήθηκε ούτε συμπληρώθηκε): τα εισοδήματα και οι δαπάνες του "
                                 "μετρούν ως μηδέν, μόνο το ελάχιστο ποσό διαβίωσης μετρά.";
    else if (!missing.empty())
        answer.missingSentence = "Τα έτη " + ListYears(missing) +
                                 " δεν έχουν ποσά στο φύλλο (δεν αντλήθηκαν ούτε συμπληρώθηκαν): τα εισοδήματα και οι δαπάνες "
                                 "τους μετρούν ως μηδέν, μόνο το ελάχιστο ποσό διαβίωσης μετρά.";
    return answer;
}

}  // namespace skartina
