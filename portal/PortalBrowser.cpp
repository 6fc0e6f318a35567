#include "portal/PortalBrowser.h"

#include "portal/BrowserConfig.h"
#include "portal/DevToolsBrowser.h"

namespace skartina {

std::unique_ptr<Browser> MakePortalBrowser(PumpClock& clock, const PortalHosts& hosts) {
    return std::make_unique<DevToolsBrowser>(clock, BrowserConfigFromEnvironment(hosts));
}

}  // namespace skartina
