// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The browser the program reads the portal with: Chromium over its private
// DevTools pipe, configured from the environment (see BrowserConfig).

#include "portal/Browser.h"
#include "portal/PortalHosts.h"

#include <memory>

namespace skartina {

std::unique_ptr<Browser> MakePortalBrowser(PumpClock& clock, const PortalHosts& hosts);

}  // namespace skartina
