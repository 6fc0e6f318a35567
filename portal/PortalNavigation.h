// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one way through the tax portal, for one year, for all of a client's
// years and for many clients on one login:
//
//   PortalNavigation nav(portal, options, log);
//   nav.LogIn(user, password, accountant);   // the browser opened afresh
//   nav.PickClient(taxNumber);                     // an accountant, for each client
//   nav.ReadYear(year, taxNumber, e1);             // for each year
//   nav.LogOutAndClose();                    // always, also after a failure
//
// Clients that each log in with their own credentials, one after another:
// LogOutKeepingBrowser() at each client's end instead, and the next LogIn
// starts in the same browser, in a session that shares nothing with the last.
//
// Every step waits for what the next one needs (the element on a page that
// has finished loading, the window, the report's bytes), up to 20 s for an
// element, 10 s for a window, plus the user's extra seconds. The patient mode
// adds the portal's fixed pauses before each wait, for a portal that shows an
// element before it is ready; the browser is looked after during them.
//
// Dialogs a page opens are answered at once and written to the log. A session
// the portal ends in the middle of a year (its login page where one of its
// pages was expected) is logged into again once, and the year taken again.
//
// A step that cannot go on throws RetrievalStop with the ending; a page not
// as expected names the step and what was missing, and every failure a
// developer must look at keeps a diagnostic bundle when there is a folder for
// it. A closing window's RetrievalCancelled passes through.

#include "e1/E1CodeTable.h"
#include "portal/PortalSession.h"
#include "portal/RetrievalEnding.h"
#include "portal/RetrievalLog.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace skartina {

// The steps told to PortalSession::stepStarting.
inline const std::string kBrowserStartingStep = "εκκίνηση προγράμματος περιήγησης";
inline const std::string kLoginStartingStep = "σύνδεση στην Α.Α.Δ.Ε.";

struct NavigationOptions {
    int extraSeconds = 0;      // added to every wait's bound; negative counts as 0
    bool fixedPauses = false;  // the patient mode
    // Where diagnostic bundles go; empty: none is kept.
    std::filesystem::path diagnosticsFolder;
    // Asked at every look at the pages: true ends the step as cancelled.
    std::function<bool()> cancelRequested;
};

// A year's document as the portal gave it: the report's bytes (from 2014), or
// nothing but the fields read (up to 2013).
struct YearDocument {
    bool report = false;
    std::string bytes;
    std::string unread;  // why the report could not be read; empty: read
    std::filesystem::path diagnostics;  // the bundle kept for an unread report; empty: none
};

class PortalNavigation {
public:
    PortalNavigation(PortalSession& portal, NavigationOptions options, RetrievalLog& log);

    // Opens the browser afresh on the portal's entry page and logs in (after
    // LogOutKeepingBrowser: in the browser kept, in its new session). An
    // accountant's login ends before the choice of a client.
    void LogIn(const std::string& user, const std::string& password, bool accountant);
    // The accountant's client by tax number; the years read next are that client's.
    void PickClient(const std::string& taxNumber);
    // The year's return or report into the table, which is cleared once the
    // print button has been found. The report must name the tax number.
    YearDocument ReadYear(int year, const std::string& taxNumber, E1CodeTable& e1);
    // After a year that failed without stopping the run: a browser the user
    // closed is opened and logged in again (and the client picked again).
    void Recover();
    // Logs out when logged in and ends the browser; a cancel gives up the logout. Never throws.
    void LogOutAndClose();
    // Logs out when logged in and keeps the browser for the next login, its
    // windows, cookies and cache thrown away (a browser that cannot is ended);
    // never throws but for a cancel.
    void LogOutKeepingBrowser();

    // The next client's log, diagnostics folder and cancel, on the same login.
    void ForClient(RetrievalLog& log, std::filesystem::path diagnosticsFolder, std::function<bool()> cancelRequested);

    bool loggedIn() const { return loggedIn_; }

private:
    using Pass = std::function<bool()>;
    // Passes until one succeeds or the bound (plus the extra seconds) is over;
    // a window that could not load its page ends the wait as unreachable.
    bool Await(int seconds, const Pass& pass);
    // The last window whose address contains the text, holding the named element.
    struct Found {
        std::string window;
        ElementRef element;
    };
    std::optional<Found> AwaitElement(const std::string& address, const char* name, const std::string& staleDocument = {});
    bool AwaitWindow(const std::string& address);
    std::optional<std::string> AwaitReportBytes(const std::vector<std::string>& before, std::string& window);
    // A fixed pause of the patient mode; the browser is looked after meanwhile.
    void Pause(uint32_t milliseconds);
    void Wait(uint32_t milliseconds);
    void CheckLoads();
    // Dialogs the browser answered go to the log, and are kept for the step's message.
    void NoteDialogs();
    // Ends the step when a window shows the login page while a year is read:
    // to log in again, or, after a new login already, as expired.
    void CheckSession();
    [[noreturn]] void EndSession(const std::string& window);
    [[noreturn]] void NotAsExpected(int year, const std::string& step, const std::string& missing, const std::string& window);
    // Throws the stop, with a diagnostic bundle of the window when its ending needs one.
    [[noreturn]] void Fail(RetrievalStop stop, const std::string& window);
    // A diagnostic bundle of the window (steps alone without one); empty when there is no folder or it failed.
    std::filesystem::path Keep(const std::string& window);
    YearDocument ReadYearOnce(int year, const std::string& taxNumber, E1CodeTable& e1);
    // Logs in again (and picks the client again) after the portal ended the session.
    void LogInAgain();
    bool OnLoginPage(const OpenWindow& window);
    // Runs a step, turning the browser's failures into endings.
    template <typename Step>
    auto Guarded(Step&& step) -> decltype(step());
    void Navigate(const std::string& address, bool bypassCache);
    void Click(const ElementRef& element, const std::string& what);
    std::vector<std::string> Handles();
    void CloseWindowsOpenedSince(const std::vector<std::string>& before);
    void EnterClient(const std::string& taxNumber);
    // The logout page, when logged in; a browser failing meanwhile is left to the caller.
    void LogOut();

    PortalSession& portal_;
    Browser& browser_;
    PortalPages pages_;
    NavigationOptions options_;
    int extra_;
    RetrievalLog* log_;
    bool loggedIn_ = false;
    bool freshBrowser_ = false;          // the browser's session is new, for the next login
    bool clientPicked_ = false;
    int year_ = 0;                       // the year in hand; 0: the login or the client's choice
    bool watchSession_ = false;          // a login page now means the session has ended
    bool renewed_ = false;               // logged in again already in this step
    std::vector<std::string> dialogs_;   // what the pages said in dialogs during the step
    bool unfinished_ = false;            // the element last awaited was there, on a page that never finished loading
    // What a browser closed by the user needs to be logged in again.
    std::string user_, password_, client_;
    bool accountant_ = false;
};

}  // namespace skartina
