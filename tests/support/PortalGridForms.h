// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The portal's runs on a sheet described as a grid of cell texts (see
// SheetGridForms.h): the grid holds the sheet whenever the view is told of it.

#include "portal/BatchRetrieval.h"
#include "portal/YearRetrieval.h"
#include "SheetGridForms.h"  // beside this file

namespace skartina {

namespace grid_forms {

class BatchMirror : public BatchView {
public:
    BatchMirror(SheetGrid& grid, Sheet& sheet, BatchView& view) : grid_(grid), sheet_(sheet), view_(view) {}
    void Progress(const BatchProgress& progress) override { view_.Progress(progress); }
    void YearFilled(int year) override {
        grid_ = GridOfSheet(sheet_);
        view_.YearFilled(year);
        sheet_ = SheetOfGrid(grid_);
    }
    void YearEnded(const YearResult& year) override { view_.YearEnded(year); }
    bool CancelRequested() override { return view_.CancelRequested(); }

private:
    SheetGrid& grid_;
    Sheet& sheet_;
    BatchView& view_;
};

class RecalculationMirror : public RetrievalView {
public:
    RecalculationMirror(SheetGrid& grid, Sheet& sheet, RetrievalView& view) : grid_(grid), sheet_(sheet), view_(view) {}
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

}  // namespace grid_forms

inline BatchResult RetrieveYears(PortalSession& portal, const BatchRequest& request, E1CodeTable& e1, SheetGrid& grid,
                                 BatchView& view) {
    return ChangeGridAsSheet(grid, [&](Sheet& sheet) {
        grid_forms::BatchMirror mirror(grid, sheet, view);
        return RetrieveYears(portal, request, e1, sheet, mirror);
    });
}

inline std::optional<YearResult> RetrieveYearFromPortal(PortalSession& portal, const YearRequest& request,
                                                        bool yearTicked, E1CodeTable& e1, SheetGrid& grid,
                                                        Prompter& prompter, RetrievalView& view) {
    return ChangeGridAsSheet(grid, [&](Sheet& sheet) {
        grid_forms::RecalculationMirror mirror(grid, sheet, view);
        return RetrieveYearFromPortal(portal, request, yearTicked, e1, sheet, prompter, mirror);
    });
}

}  // namespace skartina
