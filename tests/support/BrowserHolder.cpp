// SPDX-License-Identifier: GPL-3.0-or-later
// Opens the program's browser on an address and keeps looking at it until
// killed: the program whose death the tests make sure the browser does not
// outlive. The browser is configured by the environment, as the program's is.
// Prints "open" once the page is shown.

#include "browser/PortalBrowser.h"

#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: skartina-browser-holder ADDRESS\n";
        return 2;
    }
    skartina::SteadyPumpClock clock;
    const std::unique_ptr<skartina::Browser> browser = skartina::MakePortalBrowser(clock, skartina::PortalHostsFromEnvironment());
    browser->Navigate(browser->OpenApplication(), argv[1], false);
    std::cout << "open" << std::endl;
    for (;;) browser->FindBrowserByUrl(argv[1]);
}
