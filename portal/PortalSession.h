#pragma once
// What the steps of a retrieval share: the browser, the portal's hosts and
// addresses, the pauses, where the browser window goes, and the current portal
// browser (the window the portal is being read in), which the logins and the
// window searches set.

#include "portal/Browser.h"
#include "portal/PortalHosts.h"
#include "portal/PortalTiming.h"

#include <string>

namespace skartina {

struct PortalSession {
    Browser& browser;
    PortalHosts hosts;
    PortalTiming timing;
    ScreenPoint anchor;
    BrowserRef current;

    // A fixed pause of the given milliseconds (shortened by the timing's factor).
    void Pause(uint32_t milliseconds) { browser.PumpDelay(timing.Pause(milliseconds)); }
    // Finds the window (up to 10 s); a found one becomes the current portal browser.
    WindowFound Find(std::string_view addressPart) {
        WindowFound found = browser.FindBrowserByUrl(addressPart);
        if (found.found) current = found.browser;
        return found;
    }

    // The portal's addresses.
    std::string EntryPage() const { return hosts.AppAddress("/webtax/incomefp/index.jsp"); }
    std::string YearMenu(int year) const {
        return hosts.AppAddress("/webtax/incomefp/year" + std::to_string(year) + "-income-menu.do");
    }
    std::string StartPage() const { return hosts.AppAddress("/webtax/incomefp/login.do"); }
    std::string LogoutPage() const { return hosts.AppAddress("/webtax/incomefp/logout.do"); }
    std::string LoginHost() const { return "https://" + hosts.login; }
    std::string LoggedInYearPages() const { return hosts.AppAddress("/webtax/incomefp/year"); }
    std::string ApplicationPages() const { return hosts.AppAddress("/webtax/incomefp"); }
    std::string LoginPageAfterLogout() const { return "https://" + hosts.login + "/mylogin/login.jsp"; }
    std::string AltLoginPageAfterLogout() const { return "https://" + hosts.altLogin + "/mylogin/pages/login.jsp"; }
    std::string HomePage() const { return hosts.AppAddress("/taxisnet/mytaxisnet/protected/home.htm"); }
    std::string ReportPages() const { return hosts.AppAddress("/reports/rwservlet?"); }
};

}  // namespace skartina
