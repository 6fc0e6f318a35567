#include "e1/ReportText.h"

#include "common/TextTrim.h"
#include "sheet/Amount.h"

namespace skartina {
namespace {

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

void ParseLine(std::string_view s, int year, E1CodeTable& e1) {
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
            if (const auto amount = ParsePortalAmount(amountText); amount && E1CodeTable::IsCode(code))
                e1.set(code, *amount);
            // Past the amount and the space after it; nothing when the amount ends the line.
            consumed = space == std::string_view::npos ? 0 : space + 1;
        } else {
            consumed = colon + 1;
        }
        s = s.size() > consumed ? TrimBlanks(s.substr(consumed)) : std::string_view();
    }
}

}  // namespace

std::optional<double> ParsePortalAmount(std::string_view text) {
    if (text.empty()) return std::nullopt;
    return ParseAmount(text);
}

void ParseReportText(std::string_view text, int year, E1CodeTable& e1) {
    while (!text.empty()) {
        const size_t end = text.find_first_of("\r\n");
        ParseLine(text.substr(0, end), year, e1);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

}  // namespace skartina
