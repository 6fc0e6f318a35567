// SPDX-License-Identifier: GPL-3.0-or-later
#include "portal/PortalTiming.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <charconv>
#include <string_view>

namespace skartina {

PortalTiming::PortalTiming(double factor) {
    if (factor > 0 && factor <= 1) factor_ = factor;
}

uint32_t PortalTiming::Pause(uint32_t milliseconds) const {
    return static_cast<uint32_t>(std::lround(milliseconds * factor_));
}

uint32_t PortalTiming::AfterPrint(uint32_t milliseconds, int extraSeconds) const {
    // Up to an hour of extra waiting: more than any page needs, far below the 32-bit limit.
    const uint32_t extra = static_cast<uint32_t>(std::clamp(extraSeconds, 0, 3600)) * 1000u;
    return extra + Pause(milliseconds);
}

PortalTiming PortalTimingFromEnvironment() {
    const char* text = std::getenv("SKARTINA_PORTAL_PAUSE_FACTOR");
    if (!text || !*text) return {};
    // Read without the locale: a Greek desktop writes decimals with a comma.
    const std::string_view value(text);
    double factor = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), factor);
    if (error != std::errc() || end != value.data() + value.size()) return {};
    return PortalTiming(factor);
}

}  // namespace skartina
