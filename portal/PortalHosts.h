// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The three hosts of the tax portal, from which every portal address is formed
// ("https://", a host, a path). Built-in defaults, overridden by the
// environment variables SKARTINA_PORTAL_APP_HOST, SKARTINA_PORTAL_LOGIN_HOST
// and SKARTINA_PORTAL_ALT_LOGIN_HOST (the simulated portal prints its three).

#include <string>

namespace skartina {

struct PortalHosts {
    std::string app = "www1.aade.gr";
    std::string login = "login.gsis.gr";
    std::string altLogin = "www1.gsis.gr";

    std::string AppAddress(const std::string& path) const { return "https://" + app + path; }
};

PortalHosts PortalHostsFromEnvironment();

}  // namespace skartina
