// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/SheetLayout.h"

#include "sheet/Recalculate.h"
#include "sheet/SheetRows.h"

#include <stdexcept>

namespace skartina {
namespace {

size_t BoxIndex(int year) {
    if (year < kOldestBoxYear || year > kNewestYear)
        throw std::out_of_range("no year box for " + std::to_string(year));
    return static_cast<size_t>(year - kOldestBoxYear);
}

void EmptyYearColumns(SheetGrid& grid) {
    for (int c = 1; c < grid.columnCount(); ++c)
        for (int r = 1; r < grid.rowCount(); ++r) grid.setCell(c, r, {});
}

}  // namespace

YearSelection::YearSelection() {
    for (int year = 2003; year <= kNewestYear; ++year) setTicked(year, true);
}

bool YearSelection::isTicked(int year) const { return ticked_[BoxIndex(year)]; }

void YearSelection::setTicked(int year, bool ticked) { ticked_[BoxIndex(year)] = ticked; }

std::vector<int> YearSelection::shownYears() const {
    std::vector<int> years;
    for (int year = kNewestYear; year >= kOldestBoxYear; --year)
        if (isTicked(year)) years.push_back(year);
    if (isTicked(kOldestBoxYear) && firstYear_ >= kOldestYear && firstYear_ < kOldestBoxYear)
        for (int year = kOldestBoxYear - 1; year >= firstYear_; --year) years.push_back(year);
    return years;
}

void BuildSheetLayout(SheetGrid& grid, const YearSelection& years) {
    if (grid.rowCount() < kSheetRows) grid.setRowCount(kSheetRows);
    if (grid.columnCount() < 1) grid.setColumnCount(1);
    for (int r = 0; r <= Row::LastCaptioned; ++r) grid.setCell(0, r, std::string(RowCaption(r)));
    grid.setCell(0, Row::LastCaptioned + 1, {});
    grid.setCell(0, Row::LastCaptioned + 2, {});

    const std::vector<int> shown = years.shownYears();
    // The oldest shown year fixes the width; years dropped off the end lose
    // their cells, so a year selected again later comes back empty.
    grid.setColumnCount(shown.empty() ? 1 : SpouseColumnOf(shown.back()) + 1);
    for (int year : shown) {
        grid.setCell(TaxpayerColumnOf(year), Row::YearHeader, YearHeaderText(year));
        grid.setCell(TaxpayerColumnOf(year), Row::PersonHeader, std::string(kTaxpayerHeader));
        grid.setCell(SpouseColumnOf(year), Row::PersonHeader, std::string(kSpouseHeader));
    }
    RecalculateSheet(grid);
}

void TickYear(SheetGrid& grid, YearSelection& years, int year) {
    for (int y = year; y <= kNewestYear; ++y) years.setTicked(y, true);
    BuildSheetLayout(grid, years);
}

bool UntickYear(SheetGrid& grid, YearSelection& years, int year, Prompter* confirm) {
    years.setTicked(year, false);
    if (confirm && !confirm->confirm(kYearRemovalQuestion)) {
        years.setTicked(year, true);
        return false;
    }
    for (int y = kOldestBoxYear; y <= year; ++y) {
        if (y == kNewestYear) {
            EmptyYearColumns(grid);
            years.setTicked(y, true);
        } else {
            years.setTicked(y, false);
        }
    }
    BuildSheetLayout(grid, years);
    return true;
}

void ResetSheet(SheetGrid& grid, YearSelection& years) {
    EmptyYearColumns(grid);
    const int firstYear = years.firstYear();
    years = YearSelection();
    years.setFirstYear(firstYear);
    BuildSheetLayout(grid, years);
}

void AlignYearBoxesToSheet(const SheetGrid& grid, YearSelection& years) {
    for (int year = kOldestBoxYear; year <= kNewestYear; ++year)
        if (SpouseColumnOf(year) < grid.columnCount()) years.setTicked(year, true);
}

}  // namespace skartina
