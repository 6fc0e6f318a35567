#pragma once
// How the program starts its browser. Defaults suit a Debian desktop; the
// environment overrides them: SKARTINA_CHROMIUM (the program's path),
// SKARTINA_BROWSER_HEADLESS=1 (no window: tests), and
// SKARTINA_PORTAL_INSECURE_TLS=1 (accept the simulated portal's self-made
// certificate; never for the real portal).

#include "portal/PortalHosts.h"

#include <string>
#include <vector>

namespace skartina {

struct BrowserConfig {
    std::string chromium = "/usr/bin/chromium";
    bool headless = false;
    bool acceptInsecureCerts = false;
    // Hosts ("name" or "name:port") whose pages may open windows of their own.
    std::vector<std::string> popupHosts;
};

BrowserConfig BrowserConfigFromEnvironment(const PortalHosts& hosts);

}  // namespace skartina
