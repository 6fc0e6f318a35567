// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fixed pauses of a retrieval (1, 2 and 3 seconds between the portal's
// steps) and the user's extra waiting time after the print button. A factor
// below 1 shortens the fixed pauses; the program runs with 1, and only the
// test configuration sets SKARTINA_PORTAL_PAUSE_FACTOR, so that a suite of
// retrievals does not sit through minutes of pauses.

#include <cstdint>

namespace skartina {

class PortalTiming {
public:
    PortalTiming() = default;
    // A factor outside (0, 1] counts as 1.
    explicit PortalTiming(double factor);

    double factor() const { return factor_; }

    // A fixed pause of the given milliseconds, shortened by the factor.
    uint32_t Pause(uint32_t milliseconds) const;
    // The wait after the print button: the fixed pause and the user's extra
    // seconds, which count as 0 when negative and are never shortened.
    uint32_t AfterPrint(uint32_t milliseconds, int extraSeconds) const;

private:
    double factor_ = 1.0;
};

// The timing of the configuration: SKARTINA_PORTAL_PAUSE_FACTOR when it is a
// number in (0, 1], otherwise the real pauses.
PortalTiming PortalTimingFromEnvironment();

}  // namespace skartina
