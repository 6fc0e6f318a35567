// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which years the sheet shows, and its captions, year columns and headers.

#include "common/Prompter.h"
#include "sheet/Sheet.h"
#include "sheet/SheetGrid.h"

#include <array>
#include <string>

namespace skartina {

inline const std::string kYearRemovalQuestion =
    " Επιλέγοντας τη διαγραφή των ετών θα μηδενιστούν όλα τα ποσά για τα έτη που θα διαγραφούν. "
    "Ειστε σίγουροι για τη συνέχεια της διαδικασίας;";

// The years the sheet can start with: 1991 to 2000 (years before 2000 are
// added to the box of 2000; later first years are the year boxes' business).
inline constexpr bool IsFirstYearChoice(int year) { return year >= kOldestYear && year <= kOldestBoxYear; }
inline const std::string kFirstYearOutOfRangeMessage =
    "Το πρώτο έτος του πίνακα μπορεί να είναι από 1991 έως 2000. Τα νεότερα έτη επιλέγονται από τα κουτάκια των ετών.";

// The ticks of the year boxes 2000 to 2020 and the value of the first-year
// field, which adds the years before 2000 while 2000 is ticked.
class YearSelection {
public:
    YearSelection();  // as a new analysis window: 2003 to 2020, first year 2000

    bool isTicked(int year) const;
    // The box alone, without the handling of a click.
    void setTicked(int year, bool ticked);

    int firstYear() const { return firstYear_; }
    void setFirstYear(int year) { firstYear_ = year; }

    // The years the sheet shows, newest first, the years before 2000 included.
    std::vector<int> shownYears() const;

private:
    std::array<bool, kNewestYear - kOldestBoxYear + 1> ticked_{};
    int firstYear_ = kOldestBoxYear;
};

// Writes the captions, sizes the sheet to the selection (the cells of dropped
// columns are gone) and writes the year and person headers anew, which clears
// every married mark; then recalculates.
void BuildSheetLayout(Sheet& sheet, const YearSelection& years);

// A year box became ticked: every year from it up to 2020 is ticked.
void TickYear(Sheet& sheet, YearSelection& years, int year);

// A year box became unticked: every year from 2000 up to it leaves the sheet
// with its amounts; unticking 2020 empties the sheet and keeps 2020. When
// `confirm` is given the user is asked first; false means the user declined:
// the box is to be ticked again and nothing changed.
bool UntickYear(Sheet& sheet, YearSelection& years, int year, Prompter* confirm);

// A client without a saved analysis: the sheet of a new window (2003 to 2020,
// every year column empty, recalculated); the first-year field keeps its value.
void ResetSheet(Sheet& sheet, YearSelection& years);

// After a load: ticks the boxes of the years whose columns the sheet holds;
// the other boxes keep their state.
void AlignYearBoxesToSheet(const Sheet& sheet, YearSelection& years);

}  // namespace skartina
