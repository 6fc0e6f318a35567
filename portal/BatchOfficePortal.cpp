#include "portal/BatchOfficePortal.h"

namespace skartina {
namespace {

class YearsAsBatch : public BatchView {
public:
    explicit YearsAsBatch(OfficeYearsView& view) : view_(view) {}
    void Progress(const BatchProgress& progress) override { view_.YearStarted(progress.year); }
    void YearFilled(int year) override { view_.YearFilled(year); }
    bool CancelRequested() override { return view_.CancelRequested(); }

private:
    OfficeYearsView& view_;
};

OfficeClientYears YearsOf(const BatchResult& batch) {
    OfficeClientYears out;
    out.cancelled = batch.cancelled;
    for (const YearResult& year : batch.years) {
        OfficeYear office{year.year, OfficeYearEnd::NotReached, year.reason};
        switch (year.end) {
            case YearEnd::Read: office.end = OfficeYearEnd::Read; break;
            case YearEnd::Empty: office.end = OfficeYearEnd::NoReturn; break;
            case YearEnd::Failed: office.end = OfficeYearEnd::Failed; break;
            case YearEnd::NotReached:
                if (batch.cancelled && office.reason.empty()) office.reason = "η άντληση ακυρώθηκε";
                break;
        }
        if (!batch.stopReason.empty()) office = {year.year, OfficeYearEnd::Failed, batch.stopReason};
        out.years.push_back(office);
    }
    return out;
}

}  // namespace

BatchOfficePortal::BatchOfficePortal(PortalSession& portal, std::optional<PortalCredentials> accountant, int extraSeconds)
    : portal_(portal), accountant_(std::move(accountant)), extraSeconds_(extraSeconds), session_(portal, extraSeconds) {}

OfficeClientYears BatchOfficePortal::ClientYears(const OfficeClientRequest& request, SheetGrid& grid,
                                                 OfficeYearsView& view) {
    BatchRequest batch;
    batch.years = request.years;
    batch.extraSeconds = extraSeconds_;
    batch.sourcesFolder = request.sourcesFolder;
    YearsAsBatch years(view);
    E1CodeTable e1;
    if (!accountant_) {
        batch.credentials = {request.afm, request.user, request.password, false};
        return YearsOf(RetrieveYears(portal_, batch, e1, grid, years));
    }

    batch.credentials = *accountant_;
    batch.credentials.afm = request.afm;
    if (view.CancelRequested()) {
        BatchResult none;
        none.cancelled = true;
        for (int year : BatchYearOrder(request.years)) none.years.push_back({year, YearEnd::NotReached, {}, {}});
        return YearsOf(none);
    }
    // One login for the run; a browser the user closed between clients is logged in again.
    const bool fresh = !loggedIn_ || !portal_.browser.HasApplication();
    const std::string reason = fresh ? session_.LogIn(batch.credentials) : session_.PickClient(request.afm);
    if (fresh) loggedIn_ = session_.LoggedIn();
    if (!reason.empty()) {
        BatchResult refused;
        refused.stopReason = reason;
        for (int year : BatchYearOrder(request.years)) refused.years.push_back({year, YearEnd::Failed, reason, {}});
        OfficeClientYears out = YearsOf(refused);
        // A refused login stops the run; a refused client does not.
        if (!loggedIn_) out.stopReason = reason;
        return out;
    }
    return YearsOf(session_.Years(batch, e1, grid, years));
}

void BatchOfficePortal::LogOutAndClose() {
    if (accountant_ && loggedIn_) session_.LogOutAndClose();
    loggedIn_ = false;
}

}  // namespace skartina
