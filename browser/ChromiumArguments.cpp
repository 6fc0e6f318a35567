// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/ChromiumArguments.h"

namespace skartina {
namespace {

// Every name but the portal's resolves to nothing, so that whatever the
// browser might still try of its own never leaves the machine.
std::string HostRules(const std::vector<std::string>& hosts) {
    std::string rules = "--host-resolver-rules=MAP * ~NOTFOUND";
    for (const std::string& host : hosts) {
        const std::string name = host.rfind('[', 0) == 0 ? host.substr(0, host.find(']') + 1) : host.substr(0, host.find(':'));
        rules += " , EXCLUDE " + name;
    }
    return rules;
}

}  // namespace

std::vector<std::string> ChromiumArguments(const BrowserConfig& config, const std::filesystem::path& profile, bool asRoot) {
    std::vector<std::string> args = {"--remote-debugging-pipe",
                                     "--user-data-dir=" + profile.string(),
                                     "--no-first-run",
                                     "--no-default-browser-check",
                                     "--disable-gpu",
                                     "--disable-quic",
                                     "--disable-background-networking",
                                     "--disable-component-update",
                                     "--disable-sync",
                                     "--disable-breakpad",
                                     "--disable-crash-reporter",
                                     // Nothing but the portal: no look-ups, hints, translations,
                                     // phishing checks, reports or pings of the browser's own, and
                                     // no page of its own (the address bar's pop-up) started for nothing.
                                     "--disable-client-side-phishing-detection",
                                     "--disable-domain-reliability",
                                     "--disable-default-apps",
                                     "--disable-extensions",
                                     "--disable-component-extensions-with-background-pages",
                                     "--no-pings",
                                     "--no-proxy-server",
                                     "--safebrowsing-disable-auto-update",
                                     "--disable-features=AutofillServerCommunication,OptimizationHints,"
                                     "OptimizationGuideModelDownloading,OptimizationHintsFetching,Translate,"
                                     "MediaRouter,DialMediaRouteProvider,CertificateTransparencyComponentUpdater,"
                                     "NetworkTimeServiceQuerying,InterestFeedContentSuggestions,SafeBrowsingEnhancedProtection" +
                                         std::string(config.addressBarPopup ? "" : ",WebUIOmniboxPopup,WebUIOmniboxAimPopup"),
                                     HostRules(config.popupHosts)};
    if (!config.netLog.empty()) args.push_back("--log-net-log=" + config.netLog);
    if (config.headless) args.push_back("--headless=new");
    // Chromium refuses to run as root inside its sandbox.
    if (asRoot) args.push_back("--no-sandbox");
    args.push_back("about:blank");
    return args;
}

}  // namespace skartina
