// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A yearly report as the portal prints it: lines of text on A4 pages.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skartina {

// The order a report's text is drawn in. Every order prints the same pages:
// only the order of the drawing operations in the file differs, as it does
// between the programs that make PDF reports.
enum class ReportOrder {
    Plain,        // row by row from the top, each row in one piece
    CodesFirst,   // every word that ends in a colon (the codes, the labels) first, then every other word
    BottomUp,     // the rows from the last to the first
    Columns,      // column by column from the left, each from the top: the first word of every row, then the second, ...
    RightToLeft,  // column by column from the right, each from the top
};

// The names the orders go by on a command line: "plain", "codes-first",
// "bottom-up", "columns", "right-to-left".
std::string_view ReportOrderName(ReportOrder order);
std::optional<ReportOrder> ReportOrderNamed(std::string_view name);
inline constexpr ReportOrder kReportOrders[] = {ReportOrder::Plain, ReportOrder::CodesFirst, ReportOrder::BottomUp,
                                                ReportOrder::Columns, ReportOrder::RightToLeft};

// The PDF bytes of the lines (UTF-8), one printed row each, new pages as
// needed, drawn in the order given.
std::string WriteReportPdf(const std::vector<std::string>& lines, ReportOrder order = ReportOrder::Plain);

}  // namespace skartina
