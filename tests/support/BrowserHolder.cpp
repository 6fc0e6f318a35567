// Opens the browser on an address and keeps looking at it until killed: the
// program whose death the tests make sure the browser does not outlive.
// Prints "open PROFILE PID" (the browser's) once the page is shown. The
// browser is the configured one (SKARTINA_CHROMIUM).

#include "portal/DevToolsBrowser.h"

#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: skartina-browser-holder ADDRESS\n";
        return 2;
    }
    skartina::SteadyPumpClock clock;
    skartina::BrowserConfig config = skartina::BrowserConfigFromEnvironment(skartina::PortalHostsFromEnvironment());
    config.headless = true;
    config.acceptInsecureCerts = true;
    skartina::DevToolsBrowser browser(clock, config);
    browser.Navigate(browser.OpenApplication(), argv[1], false);
    std::cout << "open " << browser.ProfileFolder().string() << " " << browser.BrowserProcess() << std::endl;
    for (;;) browser.FindBrowserByUrl(argv[1]);
}
