#include "registry/AfmCheck.h"

namespace skartina {

bool IsValidAfm(std::string_view text) {
    if (text.empty()) return true;
    // Bytes stand for characters here: any character outside ASCII is not a
    // digit, so a text holding one in its last nine characters (or a text of
    // fewer than nine characters) fails either way.
    if (text.size() < 9) return false;
    const std::string_view digits = text.substr(text.size() - 9);
    int sum = 0;
    for (size_t i = 0; i < 9; ++i) {
        if (digits[i] < '0' || digits[i] > '9') return false;
        if (i < 8) sum += (digits[i] - '0') << (8 - i);
    }
    return digits[8] - '0' == sum % 11 % 10;
}

}  // namespace skartina
