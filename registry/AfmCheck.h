#pragma once
// The check digit of the Greek tax registration number (ΑΦΜ).

#include <string_view>

namespace skartina {

// True for an empty text and for a text whose last nine characters are digits
// with a matching check digit; what comes before those nine does not count
// ("EL123456783" passes). A bad number is shown, never refused.
bool IsValidAfm(std::string_view text);

}  // namespace skartina
