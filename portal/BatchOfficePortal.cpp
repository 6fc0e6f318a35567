// SPDX-License-Identifier: GPL-3.0-or-later
#include "portal/BatchOfficePortal.h"

namespace skartina {
namespace {

const std::string kCancelled = "η άντληση ακυρώθηκε";

class YearsAsBatch : public BatchView {
public:
    explicit YearsAsBatch(OfficeYearsView& view) : view_(view) {}
    void Progress(const BatchProgress& progress) override { view_.YearStarted(progress.year); }
    void YearFilled(int year) override { view_.YearFilled(year); }
    bool CancelRequested() override { return view_.CancelRequested(); }

private:
    OfficeYearsView& view_;
};

// Endings after which no further client can be read either.
bool StopsTheOffice(Ending ending, bool accountant) {
    return ending == Ending::Unreachable || ending == Ending::PageNotAsExpected ||
           (accountant && ending == Ending::WrongCredentials);
}

OfficeClientYears YearsOf(const BatchResult& batch, bool accountant) {
    OfficeClientYears out;
    out.cancelled = batch.cancelled;
    for (const YearResult& year : batch.years) {
        OfficeYear office{year.year, OfficeYearEnd::Failed, EndingWords(year.end)};
        switch (year.end.ending) {
            case Ending::Read: office = {year.year, OfficeYearEnd::Read, {}}; break;
            case Ending::NoReturn: office = {year.year, OfficeYearEnd::NoReturn, {}}; break;
            case Ending::Cancelled: office = {year.year, OfficeYearEnd::NotReached, kCancelled}; break;
            case Ending::NotReached:
                office.end = OfficeYearEnd::NotReached;
                if (batch.cancelled) office.reason = kCancelled;
                break;
            default:
                if (StopsTheOffice(year.end.ending, accountant) && out.stopReason.empty()) out.stopReason = office.reason;
                break;
        }
        out.years.push_back(office);
    }
    return out;
}

// Every year of the client ended as the step before them did.
BatchResult EveryYear(const std::vector<int>& years, const RetrievalStop& stop) {
    BatchResult result;
    result.cancelled = stop.ending() == Ending::Cancelled;
    for (int year : BatchYearOrder(years)) {
        YearEnding end{stop.ending(), stop.failure(), {}, stop.diagnostics, stop.kept};
        result.years.push_back({year, end, {}, false});
    }
    return result;
}

}  // namespace

BatchOfficePortal::BatchOfficePortal(PortalSession& portal, std::optional<PortalCredentials> accountant,
                                     int extraSeconds, bool fixedPauses)
    : portal_(portal), accountant_(std::move(accountant)), extraSeconds_(extraSeconds), fixedPauses_(fixedPauses),
      runLog_(portal.browser.clock(), {}), navigation_(portal, {extraSeconds, fixedPauses, {}, {}}, runLog_) {}

OfficeClientYears BatchOfficePortal::ClientYears(const OfficeClientRequest& request, Sheet& sheet,
                                                 OfficeYearsView& view) {
    BatchRequest batch;
    batch.years = request.years;
    batch.extraSeconds = extraSeconds_;
    batch.sourcesFolder = request.sourcesFolder;
    batch.fixedPauses = fixedPauses_;
    batch.credentials = accountant_ ? *accountant_ : PortalCredentials{{}, request.user, request.password, false};
    batch.credentials.taxNumber = request.taxNumber;
    YearsAsBatch years(view);
    E1CodeTable e1;
    // The client's own log and diagnostics, on the run's one login or in the run's one browser.
    RetrievalLog log(portal_.browser.clock(), RetrievalLogFile(batch));
    NavigationOptions options = RunNavigationOptions(batch, years);
    navigation_.ForClient(log, options.diagnosticsFolder, options.cancelRequested);
    struct BackToRunLog {
        PortalNavigation& navigation;
        RetrievalLog& log;
        ~BackToRunLog() { navigation.ForClient(log, {}, {}); }
    } back{navigation_, runLog_};

    // The client's own login, in a session of its own: the browser's start is saved, nothing else is shared.
    if (!accountant_)
        return YearsOf(RetrieveYearsKeepingBrowser(portal_, navigation_, log, batch, e1, sheet, years), false);

    try {
        if (view.CancelRequested()) throw RetrievalStop(Ending::Cancelled, "cancelled before the client");
        // One login for the run; a browser the user closed between clients is logged in again.
        if (!navigation_.loggedIn() || !portal_.browser.HasApplication())
            navigation_.LogIn(accountant_->user, accountant_->password, true);
        navigation_.PickClient(request.taxNumber);
    } catch (const RetrievalStop& stop) {
        log.Note(std::string("the client was not reached: ") + stop.what());
        return YearsOf(EveryYear(request.years, stop), true);
    }
    return YearsOf(RetrieveClientYears(navigation_, log, portal_.browser.clock(), batch, e1, sheet, years), true);
}

void BatchOfficePortal::LogOutAndClose() { navigation_.LogOutAndClose(); }

}  // namespace skartina
