// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the steps of a retrieval share: the browser, the portal's pages, the
// pauses, where the browser window goes, and the current portal browser (the
// window the portal is being read in).

#include "portal/Browser.h"
#include "portal/PortalHosts.h"
#include "portal/PortalPages.h"
#include "portal/PortalTiming.h"

#include <functional>
#include <string>

namespace skartina {

struct PortalSession {
    Browser& browser;
    PortalHosts hosts;
    PortalTiming timing;
    ScreenRect place;
    BrowserRef current;
    // Told as the slow steps without a page of their own start (the browser's
    // start, the login), for a terminal that would otherwise stay silent.
    std::function<void(const std::string& step)> stepStarting = {};

    PortalPages pages() const { return {hosts}; }
    // A fixed pause of the given milliseconds (shortened by the timing's factor).
    void Pause(uint32_t milliseconds) { browser.PumpDelay(timing.Pause(milliseconds)); }
};

}  // namespace skartina
