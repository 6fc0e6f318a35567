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

// How a page's print button opens its document in a new window.
enum class PrintOpens {
    Window,    // window.open with the opener
    NoOpener,  // window.open without it
    Link,      // a link aimed at a new window
    Form,      // a form aimed at a new window
};

// How a return shows the client's tax number.
enum class TaxNumberShown {
    Field,  // the value of a read-only field
    Text,   // as text of the page
    Boxes,  // a digit a box
};

// Where a streamed page is cut: what comes before arrives first, the rest later.
inline constexpr const char* kStreamCut = "<!--later-->";

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
    PrintOpens printOpens = PrintOpens::Window;
    std::string alert;          // shown in a dialog as the menu loads; empty: none
    std::string confirm;        // asked in a dialog as the menu loads; empty: none
    bool beforeUnload = false;  // the menu asks before it is left
    std::string widgetsOrigin;  // frames of a chat and a counter from there on every menu; empty: none
};

// How a return page is written.
struct ReturnOptions {
    TaxNumberShown taxNumberShown = TaxNumberShown::Field;
    bool markerFirst = false;  // "n901" first, then kStreamCut and the rest
    std::string alert;          // shown in a dialog as the return loads (its first part's, in frames); empty: none
    std::string widgetsOrigin;  // frames of a chat and a counter from there on every return; empty: none
};

// A year menu: the "YEAR" list, and the print button whose click opens the
// address in a window of its own (an empty address: the button does nothing).
std::string YearMenuPage(const PageOptions& options, const MenuOptions& menu, int year, const std::vector<int>& listYears,
                         const std::string& listTarget, const std::string& printButton, const std::string& printAddress);
// The whole return in one document.
// A return page; `taxNumber` (when not empty) is shown in the return's tax-number field.
std::string ReturnPage(const PageOptions& options, const E1CodeTable& e1, const std::string& taxNumber,
                       const ReturnOptions& layout = {});
// The 2005 return: a frameset whose two frames hold the two halves.
std::string ReturnFramesPage(const std::string& firstFrame, const std::string& secondFrame);
std::string ReturnPartPage(const PageOptions& options, const E1CodeTable& e1, int part, const std::string& taxNumber,
                           const ReturnOptions& layout = {});
// A page that answers a login it refused in words, without the login form.
std::string LoginErrorPage(const PageOptions& options);
// A page of a widget that portals carry in a frame.
std::string WidgetPage(const std::string& name);
std::string HomePage(const PageOptions& options);

// The yearly report's printed lines: the tax number (unless left out) and the
// entries, three a line ("301: 1.234,56"), or the sentence that there is no
// return when the table is empty. `readable` false prints the entries in a
// layout the program does not read ("Κωδ. 301 ποσό 1.234,56").
std::vector<std::string> ReportLines(const std::string& taxNumber, bool withTaxNumber, int year, const E1CodeTable& e1,
                                     bool readable = true);

}  // namespace skartina::sim
