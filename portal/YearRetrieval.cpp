#include "portal/YearRetrieval.h"

#include "e1/ReportPdf.h"
#include "e1/ReportText.h"
#include "e1/YearRules.h"
#include "portal/E1PageReader.h"
#include "portal/PortalLogin.h"
#include "registry/AfmCheck.h"

#include <algorithm>

namespace skartina {
namespace {

// Picks the year's option in the menu's "YEAR" list, as a person would.
void ChooseInYearList(PortalSession& portal, const WindowFound& page, int year) {
    if (!page.found) return;
    const auto list = portal.browser.FindElementByName(page.document, "YEAR");
    if (!list) return;
    portal.Pause(2000);
    // A year missing from the list gives -1, which leaves the list without a choice.
    portal.browser.SetSelectedIndex(*list, portal.browser.OptionIndexOfText(*list, std::to_string(year)));
    portal.browser.FireChange(*list);
    portal.Pause(2000);
}

// Takes the report's text over when it names the client, closes the report
// window and logs out.
YearOutcome CaptureReport(PortalSession& portal, const YearMenu& menu, const YearRequest& request, E1CodeTable& e1,
                          Prompter& prompter, RetrievalView& view) {
    Browser& browser = portal.browser;
    const std::optional<std::string> report = FindReportWindow(portal);
    if (!report) {
        prompter.inform(kNoReportMessage);
        return YearOutcome::ReportMissing;
    }
    // The pauses in which a person would select the report and copy it.
    portal.Pause(3000);
    portal.Pause(2000);
    portal.Pause(2000);
    const std::string bytes = browser.DocumentBytes({*report});
    const std::string text = LooksLikePdf(bytes) ? ReportPdfText(bytes) : bytes;
    const bool namesClient = NamesAfm(text, request.credentials.afm);
    if (namesClient) {
        view.ReportTaken();
        ParseReportText(text, request.year, e1);
    }
    portal.Pause(2000);
    browser.CloseWindow(*report);
    portal.Pause(2000);
    LogoutAndClose(portal, menu.url, portal.LogoutPage());
    return namesClient ? YearOutcome::Read : YearOutcome::ReportWithoutAfm;
}

void CloseReturnWindow(Browser& browser) {
    if (!browser.HasApplication()) return;
    if (const auto window = browser.FindWindowByTitle(kReturnWindowTitle)) browser.CloseWindow(*window);
}

}  // namespace

std::optional<std::string> FindReportWindow(PortalSession& portal) {
    const std::string prefix = portal.ReportPages();
    std::optional<std::string> found;
    for (const OpenWindow& window : portal.browser.Windows())
        if (window.address.rfind(prefix, 0) == 0) found = window.handle;
    return found;
}

const char* OutcomeText(YearOutcome outcome) {
    switch (outcome) {
        case YearOutcome::NotStarted: return "δεν ξεκίνησε";
        case YearOutcome::LoginFailed: return "η είσοδος στην Α.Α.Δ.Ε. απέτυχε";
        case YearOutcome::YearMenuMissing: return "δεν εμφανίστηκε η σελίδα του έτους";
        case YearOutcome::PrintButtonMissing: return "η σελίδα του έτους δεν έχει κουμπί εκτύπωσης";
        case YearOutcome::ReturnMissing: return "δεν εμφανίστηκε η δήλωση του έτους";
        case YearOutcome::ReportMissing: return "δεν εμφανίστηκε το εκκαθαριστικό του έτους";
        case YearOutcome::ReportWithoutAfm: return "το εκκαθαριστικό δεν αναφέρει τον Α.Φ.Μ.";
        case YearOutcome::ReturnWithoutAfm: return "η δήλωση του έτους δεν αναφέρει τον Α.Φ.Μ.";
        case YearOutcome::Read: return "τα στοιχεία του έτους αντλήθηκαν";
        case YearOutcome::Failed: return "η άντληση διακόπηκε από σφάλμα";
        case YearOutcome::Cancelled: return "η άντληση ακυρώθηκε";
    }
    return "";
}

void CloseLoginWindow(Browser& browser) {
    if (!browser.HasApplication()) return;
    try {
        if (const auto login = browser.FindWindowByTitle(kLoginWindowTitle)) browser.CloseWindow(*login);
    } catch (const BrowserError&) {
        // A browser that has gone is opened anew by the retrieval.
    }
}

namespace {

void ShowEntryPage(PortalSession& portal) {
    Browser& browser = portal.browser;
    const BrowserRef application = browser.OpenApplication();
    portal.current = application;
    browser.PlaceBrowserWindow(portal.anchor);
    browser.Navigate(application, portal.EntryPage(), false);
}

}  // namespace

bool BrowserClosedByUser(Browser& browser, uint64_t withinMs) {
    // A browser whose windows the user closed goes away a moment later.
    const uint64_t until = browser.clock().NowMs() + withinMs;
    while (browser.HasApplication()) {
        try {
            if (browser.Windows().empty()) browser.BrowserQuit();
        } catch (const BrowserError&) {
            browser.BrowserQuit();
        }
        if (!browser.HasApplication() || browser.clock().NowMs() >= until) break;
        browser.clock().Pump();
    }
    return !browser.HasApplication();
}

void OpenPortal(PortalSession& portal) {
    Browser& browser = portal.browser;
    // A look at the window list notices a browser the user has closed since.
    const bool reused = browser.HasApplication();
    if (reused) {
        std::vector<OpenWindow> windows;
        try {
            windows = browser.Windows();
        } catch (const BrowserError&) {
        }
        const BrowserRef application = browser.OpenApplication();
        const bool shown = std::any_of(windows.begin(), windows.end(),
                                       [&](const OpenWindow& w) { return w.handle == application.window; });
        if (!shown) browser.BrowserQuit();  // its own window is gone: start afresh
    }
    try {
        ShowEntryPage(portal);
    } catch (const BrowserError&) {
        if (!reused) throw;
        // Closed by the user a moment ago and still going away: start afresh.
        browser.BrowserQuit();
        ShowEntryPage(portal);
    }
}

bool LogIn(PortalSession& portal, const PortalCredentials& credentials) {
    if (credentials.accountant)
        return LoginRepresentative(portal, credentials.afm, credentials.user, credentials.password);
    return LoginTaxpayer(portal, credentials.user, credentials.password);
}

std::optional<YearMenu> ReachYearMenu(PortalSession& portal, int year) {
    std::string address;
    if (year == 2003 || year == 2004) {
        address = portal.YearMenu(2005);
        portal.browser.Navigate(portal.current, address, true);
        portal.Pause(2000);
        ChooseInYearList(portal, portal.Find(address), year);
    } else if (year == 2005) {
        ChooseInYearList(portal, portal.Find(portal.StartPage()), year);
        address = portal.YearMenu(2005);
    } else {
        address = portal.YearMenu(year);
        portal.browser.Navigate(portal.current, address, true);
    }

    portal.Pause(2000);
    const WindowFound menu = portal.Find(address);
    if (!menu.found || !portal.browser.FindElementByName(menu.document, "YEAR")) return std::nullopt;
    return YearMenu{address, menu.document, portal.browser.DocumentUrl(menu.document)};
}

YearOutcome ReadYear(PortalSession& portal, const YearMenu& menu, const YearRequest& request, E1CodeTable& e1,
                     Prompter& prompter, RetrievalView& view) {
    Browser& browser = portal.browser;
    portal.Pause(3000);
    const bool report = request.year >= 2014;
    const auto button = browser.FindElementByName(menu.document, report ? "PB_EKKATH_PDF" : "PBE1_PRINT");
    if (!button) return YearOutcome::PrintButtonMissing;
    e1.clear();
    browser.Click(*button);
    if (!report) {
        browser.PumpDelay(portal.timing.AfterPrint(2000, request.extraSeconds));
        const auto page = ReadE1Page(browser, portal.hosts, std::to_string(request.year), request.credentials.afm, e1);
        if (!page) return YearOutcome::ReturnMissing;
        portal.current = page->browser;
        if (!page->namesClient) return YearOutcome::ReturnWithoutAfm;
        view.ReportTaken();
        return YearOutcome::Read;
    }
    browser.PumpDelay(portal.timing.AfterPrint(3000, request.extraSeconds));
    return CaptureReport(portal, menu, request, e1, prompter, view);
}

YearOutcome RetrieveYear(PortalSession& portal, const YearRequest& request, E1CodeTable& e1, SheetGrid& grid,
                         Prompter& prompter, RetrievalView& view) {
    YearOutcome outcome = YearOutcome::LoginFailed;
    OpenPortal(portal);
    if (LogIn(portal, request.credentials)) {
        portal.Pause(1000);
        if (const std::optional<YearMenu> menu = ReachYearMenu(portal, request.year)) {
            outcome = ReadYear(portal, *menu, request, e1, prompter, view);
            if (outcome != YearOutcome::PrintButtonMissing) RunYearRules(e1, grid, request.year);
        } else {
            outcome = YearOutcome::YearMenuMissing;
        }
    }
    CloseReturnWindow(portal.browser);
    return outcome;
}

YearOutcome RetrieveYearFromPortal(PortalSession& portal, const YearRequest& request, bool yearTicked, E1CodeTable& e1,
                                   SheetGrid& grid, Prompter& prompter, RetrievalView& view) {
    const PortalCredentials& credentials = request.credentials;
    if (!yearTicked) {
        prompter.inform(kYearNotTickedMessage);
        return YearOutcome::NotStarted;
    }
    if (credentials.afm.empty()) {
        prompter.inform(kNoAfmMessage);
        return YearOutcome::NotStarted;
    }
    if (credentials.user.empty() || credentials.password.empty()) {
        prompter.inform(kNoCredentialsMessage);
        return YearOutcome::NotStarted;
    }

    YearOutcome outcome = YearOutcome::Failed;
    bool failed = false;
    try {
        CloseLoginWindow(portal.browser);
        view.ShowWaiting();
        outcome = RetrieveYear(portal, request, e1, grid, prompter, view);
    } catch (const RetrievalCancelled&) {
        return YearOutcome::Cancelled;
    } catch (const BrowserError& error) {
        failed = true;
        prompter.inform(kBrowserFailedMessage + error.what());
    } catch (const std::exception& error) {
        failed = true;
        prompter.inform(kRetrievalFailedMessage + error.what());
    }
    view.RecalculateSheet();
    if (!failed) view.HideWaiting();
    return outcome;
}

}  // namespace skartina
