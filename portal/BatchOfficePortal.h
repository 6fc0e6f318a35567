// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The office run's portal over the one navigation: the accountant's one
// login kept over the clients (each picked in turn), or each client's own
// login and logout in the one browser kept over the clients, each client in
// a new private session of it (no cookie or page of one reaches the next).
// Each client's log and diagnostics go to its own sources folder, as in a run
// of that client alone.

#include "portal/BatchRetrieval.h"
#include "portal/OfficeRetrieval.h"
#include "portal/PortalNavigation.h"
#include "portal/RetrievalLog.h"

#include <optional>

namespace skartina {

class BatchOfficePortal : public OfficePortal {
public:
    // `accountant`: the accountant's user name and password; nothing: each client's own.
    BatchOfficePortal(PortalSession& portal, std::optional<PortalCredentials> accountant, int extraSeconds,
                      bool fixedPauses = false);

    OfficeClientYears ClientYears(const OfficeClientRequest& request, Sheet& sheet, OfficeYearsView& view) override;
    void LogOutAndClose() override;

private:
    PortalSession& portal_;
    std::optional<PortalCredentials> accountant_;
    int extraSeconds_;
    bool fixedPauses_;
    RetrievalLog runLog_;  // the steps between clients, in memory
    PortalNavigation navigation_;
};

}  // namespace skartina
