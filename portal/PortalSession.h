// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the steps of a retrieval share: the browser, the portal's pages, the
// pauses, where the browser window goes, and the current portal browser (the
// window the portal is being read in).

#include "portal/Browser.h"
#include "portal/PortalHosts.h"
#include "portal/PortalPages.h"
#include "portal/PortalTiming.h"

#include <string>

namespace skartina {

struct PortalSession {
    Browser& browser;
    PortalHosts hosts;
    PortalTiming timing;
    ScreenRect place;
    BrowserRef current;

    PortalPages pages() const { return {hosts}; }
    // A fixed pause of the given milliseconds (shortened by the timing's factor).
    void Pause(uint32_t milliseconds) { browser.PumpDelay(timing.Pause(milliseconds)); }
};

}  // namespace skartina
