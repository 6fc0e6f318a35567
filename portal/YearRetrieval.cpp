// SPDX-License-Identifier: GPL-3.0-or-later
#include "portal/YearRetrieval.h"

namespace skartina {
namespace {

// The single year seen as a run of one.
class OneYearView : public BatchView {
public:
    explicit OneYearView(RetrievalView& view) : view_(view) {}
    void YearFilled(int) override {}
    bool CancelRequested() override { return view_.CancelRequested(); }

private:
    RetrievalView& view_;
};

}  // namespace

std::optional<std::string> YearRequestProblem(const YearRequest& request, bool yearTicked) {
    const PortalCredentials& credentials = request.credentials;
    if (!yearTicked) return kYearNotTickedMessage;
    if (credentials.taxNumber.empty()) return kNoTaxNumberMessage;
    if (credentials.user.empty() || credentials.password.empty()) return kNoCredentialsMessage;
    return std::nullopt;
}

std::optional<YearResult> RetrieveYearFromPortal(PortalSession& portal, const YearRequest& request, bool yearTicked,
                                         E1CodeTable& e1, Sheet& sheet, Prompter& prompter, RetrievalView& view) {
    if (const std::optional<std::string> problem = YearRequestProblem(request, yearTicked)) {
        prompter.inform(*problem);
        return std::nullopt;
    }
    const PortalCredentials& credentials = request.credentials;

    view.ShowWaiting();
    OneYearView run(view);
    const BatchResult result = RetrieveYears(
        portal, {credentials, {request.year}, request.extraSeconds, request.sourcesFolder, request.fixedPauses}, e1, sheet,
        run);
    YearResult year = result.years.front();
    if (result.cancelled) {
        year.end = {Ending::Cancelled};
        return year;  // the window is closing: nothing more is shown
    }
    if (year.end.ending == Ending::Read && year.fromReport) view.ReportTaken();
    view.RecalculateSheet();
    view.HideWaiting();
    if (year.end.ending != Ending::Read) prompter.inform(year.Sentence());
    return year;
}

}  // namespace skartina
