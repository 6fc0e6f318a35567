// SPDX-License-Identifier: GPL-3.0-or-later
#include "e1/CodeList.h"

#include "common/TextTrim.h"

#include <charconv>
#include <cmath>

namespace skartina {
namespace {

template <typename T>
bool ReadWhole(std::string_view text, T& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

}  // namespace

void ReadCodeList(std::string_view text, E1CodeTable& e1) {
    size_t number = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = TrimBlanks(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        if (line.empty() || line.front() == '#') continue;

        const size_t gap = line.find_first_of(" \t");
        int code = -1;
        double amount = 0;
        const bool ok = gap != std::string_view::npos && ReadWhole(line.substr(0, gap), code) &&
                        ReadWhole(TrimBlanks(line.substr(gap)), amount) && std::isfinite(amount) &&
                        E1CodeTable::IsCode(code);
        if (!ok)
            throw CodeListError("Η γραμμή " + std::to_string(number) + " («" + std::string(line) +
                                    "») δεν είναι ζεύγος «κωδικός ποσό» με κωδικό από 0 έως 1000.",
                                number);
        e1.set(code, amount);
    }
}

std::string WriteCodeList(const E1CodeTable& e1) {
    std::string out;
    for (int code = 0; code <= E1CodeTable::kLastCode; ++code) {
        if (e1[code] == 0) continue;
        char buf[64];
        const auto end = std::to_chars(buf, buf + sizeof buf, e1[code]).ptr;
        out += std::to_string(code) + " " + std::string(buf, end) + "\n";
    }
    return out;
}

}  // namespace skartina
