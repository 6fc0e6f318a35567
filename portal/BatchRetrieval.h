// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Years of one client from the tax portal in one run, through the one portal
// navigation: one login, the years from the newest to the oldest, one logout
// and the browser closed at the end. Each year ends with one sentence (read,
// no return on the portal, or why not); a wrong password, a refused client or
// a portal that cannot be reached stops the run, and the years after it are
// "not reached". Every year read keeps its source document.
//
// The year button runs the same with one year (YearRetrieval.h).

#include "e1/E1CodeTable.h"
#include "portal/PortalSession.h"
#include "portal/RetrievalEnding.h"
#include "sheet/Sheet.h"
#include "sheet/SheetGrid.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace skartina {

inline const std::string kBatchButtonCaption = "Άντληση όλων των επιλεγμένων ετών";
inline const std::string kNoYearsTickedMessage = "Δεν έχετε επιλέξει έτη για άντληση στοιχείων.";

struct PortalCredentials {
    std::string taxNumber;       // the client's tax number
    std::string user;      // the portal user name: the taxpayer's, or the accountant's
    std::string password;
    bool accountant = false;  // log in as an accountant and pick the client by tax number
};

struct BatchRequest {
    PortalCredentials credentials;
    std::vector<int> years;  // any order; read from the newest to the oldest
    int extraSeconds = 0;    // added to every wait's bound; negative counts as 0
    // Where each year's source document, the log and the diagnostics are
    // kept ("Tables/<ΑΦΜ>_sources"); empty: nothing is kept.
    std::filesystem::path sourcesFolder;
    bool fixedPauses = false;  // the patient mode: the portal's fixed pauses besides the waits
};

struct YearResult {
    int year = 0;
    YearEnding end;
    std::filesystem::path source;  // the kept document of a read or empty year
    bool fromReport = false;       // read from the yearly report (from 2014)
    std::string Sentence() const { return YearSentence(year, end); }
};

struct BatchResult {
    std::vector<YearResult> years;  // newest first
    bool cancelled = false;         // the user cancelled, or the window closed
    bool AnyFailed() const;
};

// Where a run stands, at the start of each year.
struct BatchProgress {
    int year = 0;      // the year in hand
    int position = 0;  // its place in the run, from 1
    int total = 0;
    int done = 0;      // years ended so far
    uint64_t elapsedMs = 0;
};

// What a run shows and asks while it goes.
class BatchView {
public:
    virtual ~BatchView() = default;
    virtual void Progress(const BatchProgress&) {}
    // The year's rules have filled its columns: the sheet is recalculated and shown.
    virtual void YearFilled(int year) = 0;
    // A year has ended, as the summary will tell it.
    virtual void YearEnded(const YearResult&) {}
    // Asked between years: true stops the run.
    virtual bool CancelRequested() { return false; }
};

// The run. Throws nothing from the browser: its failures end the year in
// hand (or the run), and a browser the user has closed is opened again for
// the next year. The browser is logged out and closed at the end, also after
// a cancel.
BatchResult RetrieveYears(PortalSession& portal, const BatchRequest& request, E1CodeTable& e1, Sheet& sheet,
                          BatchView& view);
// The window's grid form, until it holds a Sheet: the grid holds the sheet
// whenever the view is told of a year.

class PortalNavigation;
class RetrievalLog;
struct NavigationOptions;

// The retrieval's log file and its navigation's options for the request: the
// log and the diagnostics in the sources folder, the view's cancel.
std::filesystem::path RetrievalLogFile(const BatchRequest& request);
NavigationOptions RunNavigationOptions(const BatchRequest& request, BatchView& view);

// The years of the client a navigation is at already (an accountant's client
// picked): as RetrieveYears, without the login and the logout, which stay
// the caller's. A window closing ends it as cancelled.
BatchResult RetrieveClientYears(PortalNavigation& navigation, RetrievalLog& log, PumpClock& clock,
                                const BatchRequest& request, E1CodeTable& e1, Sheet& sheet, BatchView& view);

// As RetrieveYears, logging in (and picking the client) first, without the
// logout and the close at the end, which stay the caller's.
BatchResult LogInAndRetrieveYears(PortalNavigation& navigation, RetrievalLog& log, PumpClock& clock,
                                  const BatchRequest& request, E1CodeTable& e1, Sheet& sheet, BatchView& view);

// As RetrieveYears on a navigation kept over clients that log in each with
// their own credentials: at the end logged out, the browser kept for the next
// client with its windows and session thrown away (ended when it cannot be).
BatchResult RetrieveYearsKeepingBrowser(PortalSession& portal, PortalNavigation& navigation, RetrievalLog& log,
                                        const BatchRequest& request, E1CodeTable& e1, Sheet& sheet, BatchView& view);

// The summary: a heading line, then each year's sentence (newest first).
std::vector<std::string> BatchSummaryLines(const BatchResult& result);

// The years as the run takes them: each once, newest first.
std::vector<int> BatchYearOrder(std::vector<int> years);

}  // namespace skartina
