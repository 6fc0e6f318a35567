// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/BrowserConfig.h"

#include <cstdlib>
#include <iostream>
#include <string_view>

namespace skartina {
namespace {

bool Switch(const char* variable) {
    const char* value = std::getenv(variable);
    return value && (std::string_view(value) == "1" || std::string_view(value) == "yes" || std::string_view(value) == "true");
}

bool Set(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

}  // namespace

bool IsLoopbackHost(std::string_view host) {
    // "name", "name:port", "[::1]:port"
    if (host.rfind("[::1]", 0) == 0) return host.size() == 5 || host[5] == ':';
    if (host == "::1") return true;
    const std::string_view name = host.substr(0, host.find(':'));
    return name == "localhost" || name == "127.0.0.1";
}

BrowserConfig BrowserConfigFromEnvironment(const PortalHosts& hosts) {
    BrowserConfig config;
    if (const char* path = std::getenv("SKARTINA_CHROMIUM"); path && *path) config.chromium = path;
    // Without a desktop there is no window to show: the browser runs without one.
    config.headless = Switch("SKARTINA_BROWSER_HEADLESS") || (!Set("DISPLAY") && !Set("WAYLAND_DISPLAY"));
    if (Switch("SKARTINA_PORTAL_INSECURE_TLS")) {
        // Only the simulated portal, on this machine, has a self-made certificate.
        if (IsLoopbackHost(hosts.app) && IsLoopbackHost(hosts.login) && IsLoopbackHost(hosts.altLogin))
            config.acceptInsecureCerts = true;
        else
            std::cerr << "Η ρύθμιση SKARTINA_PORTAL_INSECURE_TLS αγνοήθηκε: ισχύει μόνο για την Α.Α.Δ.Ε. σε αυτόν τον "
                         "υπολογιστή (127.0.0.1), όχι για «"
                      << hosts.app << "».\n";
    }
    config.popupHosts = {hosts.app, hosts.login, hosts.altLogin};
    return config;
}

}  // namespace skartina
