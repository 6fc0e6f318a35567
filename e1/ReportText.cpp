// SPDX-License-Identifier: GPL-3.0-or-later
#include "e1/ReportText.h"

#include "common/TextTrim.h"
#include "sheet/Amount.h"

namespace skartina {
namespace {

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

size_t ParseLine(std::string_view s, int year, E1CodeTable& e1) {
    size_t stored = 0;
    for (size_t colon = s.find(':'); colon != std::string_view::npos; colon = s.find(':')) {
        // Begin three characters before the colon, where a code would start.
        if (colon >= 3) {
            s.remove_prefix(colon - 3);
            colon = 3;
        }
        size_t consumed;
        if (colon == 3 && IsDigit(s[0]) && IsDigit(s[1]) && IsDigit(s[2])) {
            int code = (s[0] - '0') * 100 + (s[1] - '0') * 10 + (s[2] - '0');
            if (year > 2014 && code == 115) code = 515;
            if (year > 2014 && code == 117) code = 517;
            s = TrimBlanks(s.substr(4));
            const size_t space = s.find(' ');
            const std::string_view amountText = s.substr(0, space);
            if (const auto amount = ParsePortalAmount(amountText); amount && E1CodeTable::IsCode(code)) {
                e1.set(code, *amount);
                ++stored;
            }
            // Past the amount and the space after it; nothing when the amount ends the line.
            consumed = space == std::string_view::npos ? 0 : space + 1;
        } else {
            consumed = colon + 1;
        }
        s = s.size() > consumed ? TrimBlanks(s.substr(consumed)) : std::string_view();
    }
    return stored;
}

}  // namespace

std::optional<double> ParsePortalAmount(std::string_view text) {
    const std::optional<Money> amount = ReadAmount(text);
    if (!amount) return std::nullopt;
    return static_cast<double>(amount->cents()) / 100;
}

size_t ParseReportText(std::string_view text, int year, E1CodeTable& e1) {
    size_t stored = 0;
    while (!text.empty()) {
        const size_t end = text.find_first_of("\r\n");
        stored += ParseLine(text.substr(0, end), year, e1);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return stored;
}

bool ReportSaysNoReturn(std::string_view text) {
    static constexpr std::string_view kStatements[] = {"Δεν υπάρχει δήλωση", "ΔΕΝ ΥΠΑΡΧΕΙ ΔΗΛΩΣΗ"};
    for (std::string_view statement : kStatements)
        if (text.find(statement) != std::string_view::npos) return true;
    return false;
}

std::optional<int> ReportYear(std::string_view text) {
    // The heading's spellings, in capitals or not, as a report prints them.
    static constexpr std::string_view kHeadings[] = {"Οικονομικό Έτος", "Οικονομικού Έτους", "ΟΙΚΟΝΟΜΙΚΟ ΕΤΟΣ",
                                                     "ΟΙΚΟΝΟΜΙΚΟΥ ΕΤΟΥΣ"};
    size_t first = std::string_view::npos;
    std::string_view heading;
    for (std::string_view h : kHeadings)
        if (const size_t at = text.find(h); at < first) {
            first = at;
            heading = h;
        }
    if (first == std::string_view::npos) return std::nullopt;
    std::string_view rest = text.substr(first + heading.size());
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == ':' || rest.front() == '\t')) rest.remove_prefix(1);
    if (rest.size() < 4 || !IsDigit(rest[0]) || !IsDigit(rest[1]) || !IsDigit(rest[2]) || !IsDigit(rest[3]) ||
        (rest.size() > 4 && IsDigit(rest[4])))
        return std::nullopt;
    return (rest[0] - '0') * 1000 + (rest[1] - '0') * 100 + (rest[2] - '0') * 10 + (rest[3] - '0');
}

}  // namespace skartina
