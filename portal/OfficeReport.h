// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The report of an office run: "Tables/retrieval-<date>-<time>.csv" (the
// run's start), one line per client and year — read, no return, failed with
// its reason, not reached — and the summary the command line prints and the
// window shows.

#include "portal/OfficePlan.h"

#include <filesystem>
#include <string>
#include <vector>

namespace skartina {

// tablesDir / ("retrieval-" + date + "-" + time + ".csv") of the plan's start.
std::filesystem::path OfficeReportPath(const std::filesystem::path& tablesDir, const OfficePlan& plan);

// The lines of the report file, without line ends: a heading, then one line
// per client and year, ";"-separated, a cell holding ";" or a quote quoted,
// a text a spreadsheet would run as a formula marked as text (SpreadsheetText).
std::vector<std::string> OfficeReportLines(const std::vector<OfficeClient>& clients);

// Writes the report (Windows-1253, CR LF, owner-only). Throws FileError.
void WriteOfficeReport(const std::filesystem::path& file, const std::vector<OfficeClient>& clients);

// Whether any year of any client was not read (read and no return count as read).
bool AnyNotRead(const std::vector<OfficeClient>& clients);

// The summary: a heading line with the counts, then one line per client.
std::vector<std::string> OfficeSummaryLines(const std::vector<OfficeClient>& clients, bool cancelled);

}  // namespace skartina
