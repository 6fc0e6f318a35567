// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The picture of the balance: per person, a bar of the year's available
// balance and one of the final balance for every year of the sheet, oldest on
// the left, the persons in panels of their own on one scale. Laid out once as
// fills and texts, for the PDF file, the printer and the window alike.

#include "sheet/BalanceSeries.h"
#include "sheet/PrintLayout.h"

#include <string>

namespace skartina {

inline constexpr unsigned kAvailableBarColor = 0x9DC3E6;
inline constexpr unsigned kFinalBarColor = 0x1F4E79;
inline constexpr const char* kAvailableSeriesName = "Διαθέσιμο Υπόλοιπο Εισόδημα στη χρήση";
inline constexpr const char* kFinalSeriesName = "Τελικό Διαθέσιμο Υπόλοιπο";
inline constexpr const char* kChartHeading = "ΔΙΑΘΕΣΙΜΟ ΥΠΟΛΟΙΠΟ ΑΝΑ ΕΤΟΣ";

// The chart in the area (points, or any unit the texts' sizes are measured
// in), added to the page.
void LayOutBalanceChart(const BalanceSeries& series, PrintRect area, const PrintTextWidth& width, PrintPage& page);

// A printed page of its own, under the titles of the sheet's pages, with the
// footer "Σελίδα page από pages".
PrintPage LayOutBalanceChartPage(const BalanceSeries& series, const std::string& name, const std::string& taxNumber,
                                 const std::string& date, int page, int pages, const PrintTextWidth& width);

}  // namespace skartina
