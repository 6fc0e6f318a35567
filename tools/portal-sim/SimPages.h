// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The HTML of the simulated portal's pages, with the titles, element names and
// paths the program relies on.

#include "e1/E1CodeTable.h"

#include <string>
#include <vector>

namespace skartina::sim {

// Codes that the return shows as yes/no check boxes (ticked when the amount is 1).
bool IsYesNoCode(int code);

struct PageOptions {
    int delayMs = 0;  // the page's content appears only after this time
};

std::string LoginPage(const PageOptions& options, bool withLoginButton, const std::string& message);
std::string ApplicationPage(const PageOptions& options, const std::string& nextPath);
// The client choice page, with a refusal message when it is not empty.
std::string ClientChoicePage(const PageOptions& options, bool withProceedButton, const std::string& message);
// The start page's list of the years reached through the 2005 menu.
std::string StartPage(const PageOptions& options);
// What a year menu leaves out, for the portal's faults.
struct MenuOptions {
    bool withYearList = true;
    bool withPrintButton = true;
};

// A year menu: the "YEAR" list, and the print button whose click opens the
// address in a window of its own (an empty address: the button does nothing).
std::string YearMenuPage(const PageOptions& options, const MenuOptions& menu, int year, const std::vector<int>& listYears,
                         const std::string& listTarget, const std::string& printButton, const std::string& printAddress);
// The whole return in one document.
// A return page; `afm` (when not empty) is shown in the return's tax-number field.
std::string ReturnPage(const PageOptions& options, const E1CodeTable& e1, const std::string& afm);
// The 2005 return: a frameset whose two frames hold the two halves.
std::string ReturnFramesPage(const std::string& firstFrame, const std::string& secondFrame);
std::string ReturnPartPage(const PageOptions& options, const E1CodeTable& e1, int part, const std::string& afm);
std::string HomePage(const PageOptions& options);

// The yearly report's printed lines: the tax number (unless left out) and the entries, three a line.
std::vector<std::string> ReportLines(const std::string& afm, bool withAfm, int year, const E1CodeTable& e1);

}  // namespace skartina::sim
