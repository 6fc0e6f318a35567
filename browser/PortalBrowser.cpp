// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/PortalBrowser.h"

#include "browser/BrowserConfig.h"
#include "browser/DevToolsBrowser.h"

namespace skartina {

std::unique_ptr<Browser> MakePortalBrowser(PumpClock& clock, const PortalHosts& hosts) {
    return std::make_unique<DevToolsBrowser>(clock, BrowserConfigFromEnvironment(hosts));
}

}  // namespace skartina
