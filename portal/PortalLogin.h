#pragma once
// Logging in to the tax portal, as the taxpayer or as an accountant who then
// picks the client, and logging out. Each waiting phase of a login polls up to
// 20 s, each phase of the logout up to 10 s; only the top document of a window
// is searched. A time-out is a failed login, never an error; a failing browser
// call throws BrowserError.

#include "portal/PortalSession.h"

#include <string>
#include <string_view>

namespace skartina {

// Fills the login page and submits it, or uses a window still logged in to a
// year page, then clicks "Image17". Sets the current portal browser.
bool LoginTaxpayer(PortalSession& portal, std::string_view user, std::string_view password);

// Logs in as the accountant, then types the client's tax number into the
// client choice page and clicks "PBIn". Sets the current portal browser.
bool LoginRepresentative(PortalSession& portal, std::string_view afm, std::string_view user, std::string_view password);

// Sends every window showing the page to the logout address, then closes the
// window the portal leaves behind (its login page, its second login page or
// its home page). The handle of the closed window; empty when none was closed.
std::string LogoutAndClose(PortalSession& portal, std::string_view pageAddress, std::string_view logoutAddress);

}  // namespace skartina
