// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one way through the tax portal, for one year, for all of a client's
// years and for many clients on one login:
//
//   PortalNavigation nav(portal, options, log);
//   nav.LogIn(user, password, accountant);   // the browser opened afresh
//   nav.PickClient(afm);                     // an accountant, for each client
//   nav.ReadYear(year, afm, e1);             // for each year
//   nav.LogOutAndClose();                    // always, also after a failure
//
// Every step waits for what the next one needs (the element, the window, the
// report's bytes), up to 20 s for an element, 10 s for a window, plus the
// user's extra seconds. The patient mode adds the portal's fixed pauses before
// each wait, for a portal that shows an element before it is ready.
//
// A step that cannot go on throws RetrievalStop with the ending; a page not
// as expected names the step and what was missing, and keeps a diagnostic
// bundle when there is a folder for it. A closing window's RetrievalCancelled
// passes through.

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
};

class PortalNavigation {
public:
    PortalNavigation(PortalSession& portal, NavigationOptions options, RetrievalLog& log);

    // Opens the browser afresh on the portal's entry page and logs in. An
    // accountant's login ends before the choice of a client.
    void LogIn(const std::string& user, const std::string& password, bool accountant);
    // The accountant's client by tax number; the years read next are that client's.
    void PickClient(const std::string& afm);
    // The year's return or report into the table, which is cleared once the
    // print button has been found. The report must name the tax number.
    YearDocument ReadYear(int year, const std::string& afm, E1CodeTable& e1);
    // After a year that failed without stopping the run: a browser the user
    // closed is opened and logged in again (and the client picked again).
    void Recover();
    // Logs out when logged in and ends the browser; never throws but for a cancel.
    void LogOutAndClose();

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
    void Pause(uint32_t milliseconds);
    void CheckLoads();
    [[noreturn]] void NotAsExpected(int year, const std::string& step, const std::string& missing, const std::string& window);
    // Runs a step, turning the browser's failures into endings.
    template <typename Step>
    auto Guarded(Step&& step) -> decltype(step());
    void Navigate(const std::string& address, bool bypassCache);
    void Click(const ElementRef& element, const std::string& what);
    std::vector<std::string> Handles();
    void CloseWindowsOpenedSince(const std::vector<std::string>& before);
    void EnterClient(const std::string& afm);

    PortalSession& portal_;
    Browser& browser_;
    PortalPages pages_;
    NavigationOptions options_;
    int extra_;
    RetrievalLog* log_;
    bool loggedIn_ = false;
    bool clientPicked_ = false;
    // What a browser closed by the user needs to be logged in again.
    std::string user_, password_, client_;
    bool accountant_ = false;
};

}  // namespace skartina
