// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A year button's login kept for the next one: after a run the browser stays
// logged in (its window minimised), and a next run of the same client with
// the same credentials and waits reads its years without a new login. Any
// other client, a run that did not end logged in, or End() logs out and
// closes the browser. How long a login may wait unused is the caller's.

#include "e1/E1CodeTable.h"
#include "portal/BatchRetrieval.h"
#include "portal/PortalNavigation.h"
#include "portal/PortalSession.h"
#include "portal/RetrievalLog.h"
#include "sheet/Sheet.h"

#include <memory>
#include <optional>

namespace skartina {

class KeptSession {
public:
    KeptSession(Browser& browser, PortalHosts hosts, PortalTiming timing);
    ~KeptSession();  // the browser quits (no logout: End() first for one)
    KeptSession(const KeptSession&) = delete;
    KeptSession& operator=(const KeptSession&) = delete;

    // The run, in the place given; on the kept login when it is this client's.
    // A cancelled run leaves the browser as it was, for End().
    BatchResult Retrieve(const BatchRequest& request, ScreenRect place, E1CodeTable& e1, Sheet& sheet,
                         BatchView& view);
    // Logs out and closes the browser when a login is kept; else closes it.
    void End();
    // Closes the browser at once, without logging out (the window is going).
    void Quit();
    // Whether a login is kept for a next run.
    bool kept() const;

private:
    // Whether the kept login serves the request.
    bool Serves(const BatchRequest& request) const;

    PortalSession portal_;
    std::unique_ptr<RetrievalLog> log_;
    std::unique_ptr<PortalNavigation> navigation_;
    std::optional<BatchRequest> keptFor_;  // the request the login was made for
};

}  // namespace skartina
