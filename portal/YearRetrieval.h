#pragma once
// One year's E1 return from the tax portal into the code table and the
// sheet: the checks of a year button, the browser opened or reused, the login,
// the year's menu, its print button, the return page (years up to 2013) or the
// yearly report (from 2014), the year rules.
//
// The steps are separate so that a caller can chain them differently (several
// years on one login); RetrieveYear chains them for one year as the year
// button does.

#include "common/Prompter.h"
#include "e1/E1CodeTable.h"
#include "portal/PortalSession.h"
#include "sheet/SheetGrid.h"

#include <optional>
#include <string>

namespace skartina {

inline const std::string kYearNotTickedMessage = "Δεν έχετε επιλέξει το αντίστοιχο έτος για άντληση στοιχείων.";
inline const std::string kNoAfmMessage = "Δεν έχετε συμπληρώσει τον Α.Φ.Μ. του φορολογούμενου.";
inline const std::string kNoCredentialsMessage = "Δεν έχετε συμπληρώσει τα στοιχεία εισόδου στην Α.Α.Δ.Ε.";
inline const std::string kNoReportMessage = "Προσωρινή αδυναμία άντλησης στοιχείων. Δοκιμάστε αργότερα.";
// Followed by what the browser reported.
inline const std::string kBrowserFailedMessage =
    "Η άντληση στοιχείων διακόπηκε, γιατί το πρόγραμμα περιήγησης δεν ανταποκρίθηκε όπως αναμενόταν:\n";
inline const std::string kRetrievalFailedMessage = "Η άντληση στοιχείων διακόπηκε:\n";

// The title of a window showing the portal's login page, closed before a retrieval.
inline constexpr const char* kLoginWindowTitle = "LoginPage";

struct PortalCredentials {
    std::string afm;       // the client's tax number
    std::string user;      // the portal user name: the taxpayer's, or the accountant's
    std::string password;
    bool accountant = false;  // log in as an accountant and pick the client by tax number
};

struct YearRequest {
    int year = 0;
    PortalCredentials credentials;
    int extraSeconds = 0;  // added to the wait after the print button; negative counts as 0
};

// How a year's retrieval ended.
enum class YearOutcome {
    NotStarted,          // a check of the year button failed; the user was told
    LoginFailed,         // no login within its limits; nothing read
    YearMenuMissing,     // the year's menu or its "YEAR" list did not appear; table untouched
    PrintButtonMissing,  // the menu had no print button for the year; table untouched
    ReturnMissing,       // the return page did not appear; the rules ran on the cleared table
    ReportMissing,       // no report window; the user was told; the rules ran on the cleared table
    ReportWithoutAfm,    // the report did not name the client; the rules ran on the cleared table
    ReturnWithoutAfm,    // the return did not name the client; the rules ran on the cleared table
    Read,                // the year's figures are in the sheet
    Failed,              // an error ended the retrieval; the user was told
    Cancelled,           // the waiting window closed
};

const char* OutcomeText(YearOutcome outcome);

// What a retrieval shows in its window.
class RetrievalView {
public:
    virtual ~RetrievalView() = default;
    // The waiting panel, shown for the retrieval; left shown after an error.
    virtual void ShowWaiting() {}
    virtual void HideWaiting() {}
    // The report's text was taken over ("ΟΚ" in the counter panel).
    virtual void ReportTaken() {}
    // Rebuilds the sheet's computed rows after a retrieval.
    virtual void RecalculateSheet() = 0;
};

// --- The steps ---

// Closes a window left showing the portal's login page, as a retrieval
// starts; a browser that has gone is left for the retrieval to open anew.
void CloseLoginWindow(Browser& browser);

// Opens the browser when there is none, or when the user has closed it (or
// its window) since it was last used; places its window; shows the entry page.
void OpenPortal(PortalSession& portal);

// The report window of the years from 2014: the last window showing a report.
std::optional<std::string> FindReportWindow(PortalSession& portal);

// Whether the browser has gone, waiting up to the given time for one whose
// windows the user has just closed; such a browser is ended here.
bool BrowserClosedByUser(Browser& browser, uint64_t withinMs);

// LoginRepresentative for an accountant, LoginTaxpayer otherwise.
bool LogIn(PortalSession& portal, const PortalCredentials& credentials);

// The year's menu with its "YEAR" list, as the print button is looked for in it.
struct YearMenu {
    std::string address;  // what the menu's address contains
    DocumentRef document;
    std::string url;      // the menu's full address, logged out from after a report
};

// From a logged-in portal to the menu of the year (2003 to 2005 through the
// "YEAR" lists); nothing when the menu or its list did not appear.
std::optional<YearMenu> ReachYearMenu(PortalSession& portal, int year);

// Clicks the year's print button and reads the return page or the report into
// the table, which is cleared only when the button was found. A report is
// taken only when it names the client; after it the portal is logged out.
YearOutcome ReadYear(PortalSession& portal, const YearMenu& menu, const YearRequest& request, E1CodeTable& e1,
                     Prompter& prompter, RetrievalView& view);

// --- One year, as the year button runs it ---

// Everything from opening the browser to the year rules; the return window is
// closed at the end. Throws BrowserError when a browser call fails.
YearOutcome RetrieveYear(PortalSession& portal, const YearRequest& request, E1CodeTable& e1, SheetGrid& grid,
                         Prompter& prompter, RetrievalView& view);

// The year button: the checks and their messages, the login window closed,
// the waiting panel, RetrieveYear and the recalculation. An error is told to
// the user and leaves the waiting panel shown; the sheet is recalculated all
// the same, so that its totals match the figures it holds.
YearOutcome RetrieveYearFromPortal(PortalSession& portal, const YearRequest& request, bool yearTicked, E1CodeTable& e1,
                                   SheetGrid& grid, Prompter& prompter, RetrievalView& view);

}  // namespace skartina
