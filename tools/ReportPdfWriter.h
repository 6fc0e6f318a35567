// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A yearly report as the portal prints it: lines of text on A4 pages.

#include <string>
#include <vector>

namespace skartina {

// The PDF bytes of the lines (UTF-8), one printed row each, new pages as needed.
std::string WriteReportPdf(const std::vector<std::string>& lines);

}  // namespace skartina
