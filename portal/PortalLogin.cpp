#include "portal/PortalLogin.h"

#include <optional>

namespace skartina {
namespace {

struct FoundElement {
    std::string window;
    ElementRef element;
};

std::optional<ElementRef> NamedElement(const std::vector<ElementFields>& fields, std::string_view name) {
    for (const ElementFields& field : fields)
        if (field.name == name) return field.element;
    return std::nullopt;
}

bool HasId(const std::vector<ElementFields>& fields, std::string_view id) {
    for (const ElementFields& field : fields)
        if (!field.id.empty() && field.id == id) return true;
    return false;
}

// Where a login stands after its first three steps: the login page it used,
// and "Image17" once a window shows it.
struct LoginProgress {
    std::optional<std::string> loginWindow;
    std::optional<FoundElement> image17;

    void SetCurrent(PortalSession& portal) const {
        if (image17) portal.current = {image17->window};
        else if (loginWindow) portal.current = {*loginWindow};
    }
};

// Finds the login page or a window still logged in to a year page, fills the
// login page and submits it, and waits for "Image17".
LoginProgress SubmitLogin(PortalSession& portal, std::string_view user, std::string_view password) {
    Browser& browser = portal.browser;
    const std::string loginHost = portal.LoginHost();
    const std::string yearPages = portal.LoggedInYearPages();
    LoginProgress progress;

    browser.PollPasses(Browser::kWaitElementSeconds, [&] {
        for (const OpenWindow& window : browser.Windows()) {
            const std::vector<ElementFields> top = browser.TopDocumentElements({window.handle});
            if (window.address.find(loginHost) == std::string::npos) {
                if (window.address.find(yearPages) == std::string::npos) continue;
                if (auto image = NamedElement(top, "Image17")) progress.image17 = FoundElement{window.handle, *image};
            } else if (HasId(top, "password")) {
                progress.loginWindow = window.handle;
            }
        }
        return progress.loginWindow || progress.image17;
    });
    if (!progress.loginWindow) return progress;

    bool userSet = false, passwordSet = false;
    std::optional<ElementRef> button;
    for (const ElementFields& field : browser.TopDocumentElements({*progress.loginWindow})) {
        if (field.id == "username") {
            browser.SetValue(field.element, user);
            userSet = true;
        } else if (field.id == "password") {
            browser.SetValue(field.element, password);
            passwordSet = true;
        }
        if ((field.type == "SUBMIT" || field.type == "submit") && field.name == "btn_login") button = field.element;
    }
    if (!userSet || !passwordSet || !button) return progress;

    browser.Click(*button);
    progress.image17.reset();
    const std::string applicationPages = portal.ApplicationPages();
    browser.PollPasses(Browser::kWaitElementSeconds, [&] {
        for (const OpenWindow& window : browser.Windows()) {
            if (window.address.find(applicationPages) == std::string::npos) continue;
            if (auto image = NamedElement(browser.TopDocumentElements({window.handle}), "Image17"))
                progress.image17 = FoundElement{window.handle, *image};
        }
        return progress.image17.has_value();
    });
    return progress;
}

}  // namespace

bool LoginTaxpayer(PortalSession& portal, std::string_view user, std::string_view password) {
    const LoginProgress progress = SubmitLogin(portal, user, password);
    progress.SetCurrent(portal);
    if (!progress.image17) return false;
    portal.browser.Click(progress.image17->element);
    return true;
}

bool LoginRepresentative(PortalSession& portal, std::string_view afm, std::string_view user, std::string_view password) {
    const LoginProgress progress = SubmitLogin(portal, user, password);
    progress.SetCurrent(portal);
    if (!progress.image17) return false;
    Browser& browser = portal.browser;
    browser.Click(progress.image17->element);

    // The client choice page: the client's tax number, then "PBIn".
    const std::string applicationPages = portal.ApplicationPages();
    bool afmSet = false;
    std::optional<FoundElement> proceed;
    browser.PollPasses(Browser::kWaitElementSeconds, [&] {
        for (const OpenWindow& window : browser.Windows()) {
            if (window.address.find(applicationPages) == std::string::npos) continue;
            for (const ElementFields& field : browser.TopDocumentElements({window.handle})) {
                if (field.name == "username") {
                    browser.SetValue(field.element, afm);
                    afmSet = true;
                }
                if (field.name == "PBIn") proceed = FoundElement{window.handle, field.element};
            }
        }
        return afmSet && proceed;
    });
    if (!afmSet || !proceed) return false;
    portal.current = {proceed->window};
    browser.Click(proceed->element);
    return true;
}

std::string LogoutAndClose(PortalSession& portal, std::string_view pageAddress, std::string_view logoutAddress) {
    Browser& browser = portal.browser;
    browser.PollPasses(Browser::kFindWindowSeconds, [&] {
        bool navigated = false;
        for (const OpenWindow& window : browser.Windows()) {
            if (window.address.find(pageAddress) == std::string::npos) continue;
            browser.Navigate({window.handle}, logoutAddress, false);
            navigated = true;
        }
        return navigated;
    });

    // The portal leaves a login page or its home page behind; each search may
    // take its own 10 s, and a failing one counts as not found.
    const auto find = [&](const std::string& address) -> WindowFound {
        try {
            return browser.FindBrowserByUrl(address);
        } catch (const BrowserError&) {
            return {};
        }
    };
    std::string closed;
    browser.PollPasses(Browser::kFindWindowSeconds, [&] {
        if (const WindowFound login = find(portal.LoginPageAfterLogout()); login.found) {
            try {
                for (const ElementFields& field : browser.TopDocumentElements(login.document)) {
                    if (field.id != "username") continue;
                    browser.CloseWindow(login.browser.window);
                    closed = login.browser.window;
                    break;  // the window is gone; asking again would change nothing
                }
            } catch (const BrowserError&) {
            }
        } else if (const WindowFound alt = find(portal.AltLoginPageAfterLogout()); alt.found) {
            browser.CloseWindow(alt.browser.window);
            closed = alt.browser.window;
        } else if (const WindowFound home = find(portal.HomePage()); home.found) {
            browser.CloseWindow(home.browser.window);
            closed = home.browser.window;
        }
        return !closed.empty();
    });
    return closed;
}

}  // namespace skartina
