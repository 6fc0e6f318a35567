// SPDX-License-Identifier: GPL-3.0-or-later
#include "portal/PortalHosts.h"

#include <cstdlib>

namespace skartina {
namespace {

void Override(std::string& host, const char* variable) {
    if (const char* value = std::getenv(variable); value && *value) host = value;
}

}  // namespace

PortalHosts PortalHostsFromEnvironment() {
    PortalHosts hosts;
    Override(hosts.app, "SKARTINA_PORTAL_APP_HOST");
    Override(hosts.login, "SKARTINA_PORTAL_LOGIN_HOST");
    Override(hosts.altLogin, "SKARTINA_PORTAL_ALT_LOGIN_HOST");
    return hosts;
}

}  // namespace skartina
