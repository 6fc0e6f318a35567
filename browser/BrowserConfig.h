// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the program starts its browser. Defaults suit a Debian desktop; the
// environment overrides them: SKARTINA_CHROMIUM (the program's path),
// SKARTINA_BROWSER_HEADLESS=1 (no window: tests; also without a display), and
// SKARTINA_PORTAL_INSECURE_TLS=1 (accept the simulated portal's self-made
// certificate; honoured only when every portal host is on this machine, and
// otherwise ignored with a warning, so it can never weaken the real portal).

#include "portal/PortalHosts.h"

#include <string>
#include <string_view>
#include <vector>

namespace skartina {

struct BrowserConfig {
    std::string chromium = "/usr/bin/chromium";
    bool headless = false;
    bool acceptInsecureCerts = false;
    // Hosts ("name" or "name:port") whose pages may open windows of their own:
    // the portal's, the only ones the browser may reach.
    std::vector<std::string> popupHosts;
    // Where the browser writes its network log (for a developer); empty: none.
    std::string netLog;
    // Leaves the address bar's pop-up page on, as Chromium starts it by itself;
    // only for measuring what switching it off saves.
    bool addressBarPopup = false;
};

BrowserConfig BrowserConfigFromEnvironment(const PortalHosts& hosts);

// Whether the host ("name" or "name:port") is this machine's loopback.
bool IsLoopbackHost(std::string_view host);

}  // namespace skartina
