#include "browser/BrowserConfig.h"

#include <cstdlib>
#include <string_view>

namespace skartina {
namespace {

bool Switch(const char* variable) {
    const char* value = std::getenv(variable);
    return value && (std::string_view(value) == "1" || std::string_view(value) == "yes" || std::string_view(value) == "true");
}

}  // namespace

BrowserConfig BrowserConfigFromEnvironment(const PortalHosts& hosts) {
    BrowserConfig config;
    if (const char* path = std::getenv("SKARTINA_CHROMIUM"); path && *path) config.chromium = path;
    config.headless = Switch("SKARTINA_BROWSER_HEADLESS");
    config.acceptInsecureCerts = Switch("SKARTINA_PORTAL_INSECURE_TLS");
    config.popupHosts = {hosts.app, hosts.login, hosts.altLogin};
    return config;
}

}  // namespace skartina
