#pragma once
// The office run's portal over the batch retrieval: the accountant's one
// login kept over the clients (each picked in turn), or each client's own
// login and logout.

#include "portal/BatchRetrieval.h"
#include "portal/OfficeRetrieval.h"

#include <optional>

namespace skartina {

class BatchOfficePortal : public OfficePortal {
public:
    // `accountant`: the accountant's user name and password; nothing: each client's own.
    BatchOfficePortal(PortalSession& portal, std::optional<PortalCredentials> accountant, int extraSeconds);

    OfficeClientYears ClientYears(const OfficeClientRequest& request, SheetGrid& grid, OfficeYearsView& view) override;
    void LogOutAndClose() override;

private:
    PortalSession& portal_;
    std::optional<PortalCredentials> accountant_;
    int extraSeconds_;
    BatchSession session_;
    bool loggedIn_ = false;
};

}  // namespace skartina
