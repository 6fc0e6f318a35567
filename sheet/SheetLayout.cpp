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

void EmptyYearColumns(Sheet& sheet) {
    for (int c = 1; c < sheet.columnCount(); ++c) {
        sheet.setMarried(c, false);
        for (int r = 1; r < sheet.rowCount(); ++r) sheet.clear(c, r);
    }
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

void BuildSheetLayout(Sheet& sheet, const YearSelection& years) {
    if (sheet.rowCount() < kSheetRows) sheet.setRowCount(kSheetRows);
    for (int r = 0; r <= Row::LastCaptioned; ++r) sheet.setCaption(r, std::string(RowCaption(r)));
    sheet.setCaption(Row::LastCaptioned + 1, {});
    sheet.setCaption(Row::LastCaptioned + 2, {});

    const std::vector<int> shown = years.shownYears();
    // The oldest shown year fixes the width; years dropped off the end lose
    // their cells, so a year selected again later comes back empty.
    sheet.setColumnCount(shown.empty() ? 1 : SpouseColumnOf(shown.back()) + 1);
    // The headers in their own form: an unmarried year, whatever a file held there.
    for (int year : shown) {
        sheet.clear(TaxpayerColumnOf(year), Row::YearHeader);
        sheet.clear(TaxpayerColumnOf(year), Row::PersonHeader);
        sheet.clear(SpouseColumnOf(year), Row::PersonHeader);
        sheet.setMarried(SpouseColumnOf(year), false);
    }
    RecalculateSheet(sheet);
}

void TickYear(Sheet& sheet, YearSelection& years, int year) {
    for (int y = year; y <= kNewestYear; ++y) years.setTicked(y, true);
    BuildSheetLayout(sheet, years);
}

bool UntickYear(Sheet& sheet, YearSelection& years, int year, Prompter* confirm) {
    years.setTicked(year, false);
    if (confirm && !confirm->confirm(kYearRemovalQuestion)) {
        years.setTicked(year, true);
        return false;
    }
    for (int y = kOldestBoxYear; y <= year; ++y) {
        if (y == kNewestYear) {
            EmptyYearColumns(sheet);
            years.setTicked(y, true);
        } else {
            years.setTicked(y, false);
        }
    }
    BuildSheetLayout(sheet, years);
    return true;
}

void ResetSheet(Sheet& sheet, YearSelection& years) {
    EmptyYearColumns(sheet);
    const int firstYear = years.firstYear();
    years = YearSelection();
    years.setFirstYear(firstYear);
    BuildSheetLayout(sheet, years);
}

void AlignYearBoxesToSheet(const Sheet& sheet, YearSelection& years) {
    for (int year = kOldestBoxYear; year <= kNewestYear; ++year)
        if (SpouseColumnOf(year) < sheet.columnCount()) years.setTicked(year, true);
}

}  // namespace skartina
