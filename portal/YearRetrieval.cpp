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

namespace {

// The window's view on its grid: the grid is given the sheet before the view
// recalculates it, and the recalculated grid is taken back.
class GridRecalculation : public RetrievalView {
public:
    GridRecalculation(SheetGrid& grid, Sheet& sheet, RetrievalView& view) : grid_(grid), sheet_(sheet), view_(view) {}
    void ShowWaiting() override { view_.ShowWaiting(); }
    void HideWaiting() override { view_.HideWaiting(); }
    void ReportTaken() override { view_.ReportTaken(); }
    bool CancelRequested() override { return view_.CancelRequested(); }
    void RecalculateSheet() override {
        grid_ = GridOfSheet(sheet_);
        view_.RecalculateSheet();
        sheet_ = SheetOfGrid(grid_);
    }

private:
    SheetGrid& grid_;
    Sheet& sheet_;
    RetrievalView& view_;
};

}  // namespace

std::optional<YearResult> RetrieveYearFromPortal(PortalSession& portal, const YearRequest& request, bool yearTicked,
                                         E1CodeTable& e1, SheetGrid& grid, Prompter& prompter, RetrievalView& view) {
    return ChangeGridAsSheet(grid, [&](Sheet& sheet) {
        GridRecalculation mirror(grid, sheet, view);
        return RetrieveYearFromPortal(portal, request, yearTicked, e1, sheet, prompter, mirror);
    });
}

}  // namespace skartina
