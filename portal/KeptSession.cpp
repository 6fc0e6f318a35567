// SPDX-License-Identifier: GPL-3.0-or-later
#include "portal/KeptSession.h"

namespace skartina {

KeptSession::KeptSession(Browser& browser, PortalHosts hosts, PortalTiming timing)
    : portal_{browser, std::move(hosts), timing, {}, {}} {}

KeptSession::~KeptSession() { Quit(); }

bool KeptSession::kept() const { return navigation_ && navigation_->loggedIn() && portal_.browser.HasApplication(); }

bool KeptSession::Serves(const BatchRequest& request) const {
    if (!kept() || !keptFor_) return false;
    const PortalCredentials& had = keptFor_->credentials;
    const PortalCredentials& wants = request.credentials;
    // The waits are the navigation's own from its start: other waits need a new one.
    return had.taxNumber == wants.taxNumber && had.user == wants.user && had.password == wants.password &&
           had.accountant == wants.accountant && keptFor_->extraSeconds == request.extraSeconds &&
           keptFor_->fixedPauses == request.fixedPauses;
}

BatchResult KeptSession::Retrieve(const BatchRequest& request, ScreenRect place, E1CodeTable& e1, Sheet& sheet,
                                  BatchView& view) {
    const bool warm = Serves(request);
    if (!warm) {
        End();
        portal_.current = {};
    }
    portal_.place = place;
    auto log = std::make_unique<RetrievalLog>(portal_.browser.clock(), RetrievalLogFile(request));
    NavigationOptions options = RunNavigationOptions(request, view);
    BatchResult result;
    if (warm) {
        navigation_->ForClient(*log, options.diagnosticsFolder, options.cancelRequested);
        log_ = std::move(log);
        try {
            portal_.browser.PlaceBrowserWindow(place);
        } catch (const BrowserError&) {
            // A window that cannot be placed is read where it is.
        }
        result = RetrieveClientYears(*navigation_, *log_, portal_.browser.clock(), request, e1, sheet, view);
    } else {
        log_ = std::move(log);
        navigation_ = std::make_unique<PortalNavigation>(portal_, std::move(options), *log_);
        result = LogInAndRetrieveYears(*navigation_, *log_, portal_.browser.clock(), request, e1, sheet, view);
    }
    keptFor_ = request;
    // The view asked about a cancel is the caller's and goes now: the kept navigation forgets it.
    navigation_->ForClient(*log_, {}, {});
    // A run given up is ended by the caller (End), who may first say so; one that lost its login keeps nothing.
    if (result.cancelled) return result;
    if (!kept()) {
        End();
        return result;
    }
    try {
        portal_.browser.MinimiseBrowserWindow();
    } catch (const BrowserError&) {
        // Left where it is: still logged in, still kept.
    }
    return result;
}

void KeptSession::End() {
    if (navigation_) navigation_->LogOutAndClose();
    Quit();
}

void KeptSession::Quit() {
    navigation_.reset();
    keptFor_.reset();
    portal_.browser.BrowserQuit();
}

}  // namespace skartina
