#pragma once
// Several years of one client from the tax portal in one run: one login, the
// years from the newest to the oldest, one logout at the end. The run waits
// for what each next step needs (the page element, the window, the report's
// bytes) up to the portal layer's limits plus the user's extra seconds,
// instead of the fixed pauses of a single year. A failed year does not stop
// the run; each year ends read, empty (no return on the portal) or failed
// with its reason, and every year read keeps its source document.
//
// The same steps as one year's retrieval (opening the portal, the logins, the
// return page's fields, the report's text, the logout), chained differently.

#include "e1/E1CodeTable.h"
#include "portal/PortalSession.h"
#include "portal/YearRetrieval.h"
#include "sheet/SheetGrid.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace skartina {

inline const std::string kBatchButtonCaption = "Άντληση όλων των επιλεγμένων ετών";
inline const std::string kNoYearsTickedMessage = "Δεν έχετε επιλέξει έτη για άντληση στοιχείων.";

struct BatchRequest {
    PortalCredentials credentials;
    std::vector<int> years;  // any order; read from the newest to the oldest
    int extraSeconds = 0;    // added to every wait's limit; negative counts as 0
    // Where each year's source document is kept; empty: nothing is kept.
    std::filesystem::path sourcesFolder;
};

enum class YearEnd {
    Read,       // the year's figures are in the sheet
    Empty,      // the portal has no amounts for the year; its columns were emptied
    Failed,     // the reason says why; the year's columns are as they were
    NotReached, // the run stopped (cancelled, or refused) before the year
};

struct YearResult {
    int year = 0;
    YearEnd end = YearEnd::NotReached;
    std::string reason;            // for a failed year
    std::filesystem::path source;  // the kept document of a read or empty year
};

struct BatchResult {
    std::vector<YearResult> years;  // newest first
    std::string stopReason;         // why the run stopped before any year (login, client refused)
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
    // Asked between steps: true stops the run after the step in hand.
    virtual bool CancelRequested() { return false; }
};

// The run. Throws nothing from the browser: its failures end the year in
// hand, and a browser the user has closed is opened again for the next year.
// The browser is logged out and closed at the end, also after a cancel.
BatchResult RetrieveYears(PortalSession& portal, const BatchRequest& request, E1CodeTable& e1, SheetGrid& grid,
                          BatchView& view);

class BatchRun;

// A login kept over several clients' runs: an accountant logs in once and
// picks each client in turn; each client's years run as RetrieveYears runs
// them, without their own login and logout.
class BatchSession {
public:
    BatchSession(PortalSession& portal, int extraSeconds);
    ~BatchSession();
    BatchSession(const BatchSession&) = delete;
    BatchSession& operator=(const BatchSession&) = delete;

    // Opens the portal and logs in (an accountant then picks the client of the
    // credentials); the reason the run cannot go on, or empty.
    std::string LogIn(const PortalCredentials& credentials);
    // The logged-in accountant's next client; the reason it failed, or empty.
    std::string PickClient(const std::string& afm);
    // The years of the client logged in to (or picked).
    BatchResult Years(const BatchRequest& request, E1CodeTable& e1, SheetGrid& grid, BatchView& view);
    // The one logout, and the browser closed.
    void LogOutAndClose();
    // Whether the last login went through (an accountant's client may still have been refused).
    bool LoggedIn() const;

private:
    std::unique_ptr<BatchRun> run_;
};

// The summary, one Greek line a year (newest first) after a heading line.
std::vector<std::string> BatchSummaryLines(const BatchResult& result);

// The years as the run takes them: each once, newest first.
std::vector<int> BatchYearOrder(std::vector<int> years);

}  // namespace skartina
