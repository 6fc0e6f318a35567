#include "portal/BatchRetrieval.h"

#include "registry/AfmCheck.h"

#include "e1/ReportPdf.h"
#include "e1/ReportText.h"
#include "e1/YearRules.h"
#include "portal/E1PageReader.h"
#include "portal/PortalLogin.h"
#include "portal/YearSources.h"

#include <algorithm>
#include <functional>

namespace skartina {
namespace {

const std::string kBrowserGone = "το πρόγραμμα περιήγησης έκλεισε";
const std::string kCancelledReason = "η άντληση ακυρώθηκε";

bool AllZero(const E1CodeTable& e1) {
    for (int code = 0; code <= E1CodeTable::kLastCode; ++code)
        if (e1[code] != 0) return false;
    return true;
}

// A page element found in a window.
struct Found {
    DocumentRef document;
    ElementRef element;
};

// The year's menu, its print button found.
struct Menu {
    DocumentRef document;
    ElementRef printButton;
};

}  // namespace

class BatchRun {
public:
    BatchRun(PortalSession& portal, int extraSeconds)
        : portal_(portal), browser_(portal.browser), extra_(std::clamp(extraSeconds, 0, 3600)) {}

    // One client's years. `connect`: log in first (else the run is logged in
    // to the client already); `finish`: log out and close at the end.
    BatchResult Go(const BatchRequest& request, E1CodeTable& e1, SheetGrid& grid, BatchView& view, bool connect,
                   bool finish) {
        request_ = &request;
        e1_ = &e1;
        grid_ = &grid;
        view_ = &view;
        result_ = {};
        start_ = browser_.clock().NowMs();
        for (int year : BatchYearOrder(request.years)) result_.years.push_back({year, YearEnd::NotReached, {}, {}});
        try {
            Years(connect);
        } catch (const RetrievalCancelled&) {
            // The window is closing: no page is waited for any more.
            result_.cancelled = true;
            browser_.BrowserQuit();
            loggedIn_ = false;
            return result_;
        }
        if (finish) Finish();
        return result_;
    }

    // Logs in with the credentials (an accountant picks their client); the
    // reason the run cannot go on, or empty.
    std::string Connect(const PortalCredentials& credentials) {
        credentials_ = credentials;
        try {
            return ConnectOrReason();
        } catch (const BrowserError& error) {
            return std::string("σφάλμα του προγράμματος περιήγησης: ") + error.what();
        }
    }

    // An accountant logged in picks another client: back to the portal's
    // entrance, which leads to the client choice; the reason it failed, or empty.
    std::string PickClient(const std::string& afm) {
        credentials_.afm = afm;
        try {
            browser_.Navigate(portal_.current, portal_.EntryPage(), false);
            const std::optional<Found> enter = AwaitElement(portal_.ApplicationPages(), "Image17");
            if (!enter) return "δεν εμφανίστηκε η είσοδος στην εφαρμογή για την επιλογή πελάτη";
            portal_.current = {enter->document.window};
            browser_.Click(enter->element);
            const std::optional<Found> field = AwaitElement(portal_.ApplicationPages(), "username");
            const auto proceed = field ? browser_.FindElementByName(field->document, "PBIn") : std::nullopt;
            if (!field || !proceed) return "δεν εμφανίστηκε η σελίδα επιλογής πελάτη";
            portal_.current = {field->document.window};
            browser_.SetValue(field->element, afm);
            browser_.Click(*proceed);
            if (!AwaitWindow(portal_.StartPage())) return "η Α.Α.Δ.Ε. δεν δέχτηκε τον πελάτη με Α.Φ.Μ. " + afm;
            return {};
        } catch (const BrowserError& error) {
            return std::string("σφάλμα του προγράμματος περιήγησης: ") + error.what();
        }
    }

    bool LoggedIn() const { return loggedIn_; }

    // The one logout of the run, and the browser closed.
    void Finish() {
        try {
            if (loggedIn_ && browser_.HasApplication())
                LogoutAndClose(portal_, portal_.ApplicationPages(), portal_.LogoutPage());
        } catch (const BrowserError&) {
            // A browser that fails now is closed all the same.
        } catch (const RetrievalCancelled&) {
        }
        loggedIn_ = false;
        browser_.BrowserQuit();
    }

private:
    void Years(bool connect) {
        if (view_->CancelRequested()) {
            result_.cancelled = true;
            return;
        }
        if (connect) {
            const std::string why = Connect(request_->credentials);
            if (!why.empty()) {
                result_.stopReason = why;
                return;
            }
        }
        credentials_ = request_->credentials;
        const int total = static_cast<int>(result_.years.size());
        for (int i = 0; i < total; ++i) {
            YearResult& year = result_.years[static_cast<size_t>(i)];
            if (view_->CancelRequested()) {
                result_.cancelled = true;
                return;
            }
            view_->Progress({year.year, i + 1, total, i, browser_.clock().NowMs() - start_});
            try {
                year = OneYear(year.year);
            } catch (const BrowserError& error) {
                year.end = YearEnd::Failed;
                year.reason = BrowserClosedByUser(browser_, 1000)
                                  ? kBrowserGone
                                  : std::string("σφάλμα του προγράμματος περιήγησης: ") + error.what();
            }
            view_->YearEnded(year);
            if (year.end == YearEnd::NotReached) {
                result_.cancelled = true;
                return;
            }
            if (i + 1 < total && year.end == YearEnd::Failed && !Recover()) {
                for (int rest = i + 1; rest < total; ++rest) {
                    YearResult& left = result_.years[static_cast<size_t>(rest)];
                    left.end = YearEnd::Failed;
                    left.reason = reconnectReason_;
                    view_->YearEnded(left);
                }
                return;
            }
        }
    }

    // After a failed year: a browser the user has closed is opened again and
    // logged in; a portal window that has gone gives way to one still open.
    bool Recover() {
        if (!browser_.HasApplication()) {
            if (view_->CancelRequested()) return true;  // the loop stops at its next check
            try {
                reconnectReason_ = ConnectOrReason();
            } catch (const BrowserError& error) {
                reconnectReason_ = std::string("σφάλμα του προγράμματος περιήγησης: ") + error.what();
            }
            return reconnectReason_.empty();
        }
        try {
            const std::vector<OpenWindow> windows = browser_.Windows();
            const bool currentShown = std::any_of(windows.begin(), windows.end(),
                                                  [&](const OpenWindow& w) { return w.handle == portal_.current.window; });
            if (!currentShown && !windows.empty()) portal_.current = {windows.back().handle};
        } catch (const BrowserError&) {
        }
        return true;
    }

    // Opens the portal and logs in, once for the run; the reason the run
    // cannot go on, or empty.
    std::string ConnectOrReason() {
        loggedIn_ = false;
        CloseLoginWindow(browser_);
        OpenPortal(portal_);
        const PortalCredentials& credentials = credentials_;
        if (!LogIn(portal_, credentials)) return OutcomeText(YearOutcome::LoginFailed);
        loggedIn_ = true;
        // The portal's start page comes once the login, and an accountant's
        // choice of client, has gone through; a refused client never gets it.
        if (!AwaitWindow(portal_.StartPage())) {
            if (credentials.accountant) return "η Α.Α.Δ.Ε. δεν δέχτηκε τον πελάτη με Α.Φ.Μ. " + credentials.afm;
            return "δεν εμφανίστηκε η σελίδα των δηλώσεων μετά την είσοδο";
        }
        return {};
    }

    // Polling passes up to the limit; a browser that has gone ends the wait
    // with an error, a page caught between two documents counts as not yet there.
    bool Await(int seconds, const std::function<bool()>& pass) {
        return browser_.PollPasses(seconds, [&] {
            if (!browser_.HasApplication()) throw BrowserError(kBrowserGone);
            try {
                return pass();
            } catch (const BrowserError&) {
                if (!browser_.HasApplication()) throw BrowserError(kBrowserGone);
                return false;
            }
        });
    }

    // The last window showing the address; it becomes the current portal browser.
    bool AwaitWindow(const std::string& addressPart) {
        std::optional<std::string> found;
        Await(Browser::kFindWindowSeconds + extra_, [&] {
            for (const OpenWindow& window : browser_.Windows())
                if (window.address.find(addressPart) != std::string::npos) found = window.handle;
            return found.has_value();
        });
        if (found) portal_.current = {*found};
        return found.has_value();
    }

    // The named element in the last window showing the address, in any
    // document but the stale one (the page a list's change replaces).
    std::optional<Found> AwaitElement(const std::string& addressPart, std::string_view name,
                                      const std::string& staleDocument = {}) {
        std::optional<Found> found;
        Await(Browser::kWaitElementSeconds + extra_, [&] {
            for (const OpenWindow& window : browser_.Windows()) {
                if (window.address.find(addressPart) == std::string::npos) continue;
                const DocumentRef document{window.handle};
                const auto element = browser_.FindElementByName(document, name);
                if (element && element->document != staleDocument) found = Found{document, *element};
            }
            return found.has_value();
        });
        return found;
    }

    // The report's bytes once its window shows them. Only a window opened
    // after the click counts: an earlier year's report that came too late
    // must never be read as this year's.
    std::optional<std::string> AwaitReportBytes(const std::vector<std::string>& before) {
        std::optional<std::string> bytes;
        const std::string prefix = portal_.ReportPages();
        Await(Browser::kFindWindowSeconds + extra_, [&] {
            std::optional<std::string> window;
            for (const OpenWindow& open : browser_.Windows())
                if (open.address.rfind(prefix, 0) == 0 &&
                    std::find(before.begin(), before.end(), open.handle) == before.end())
                    window = open.handle;
            if (!window) return false;
            std::string got = browser_.DocumentBytes({*window});
            if (got.empty()) return false;
            bytes = std::move(got);
            return true;
        });
        return bytes;
    }

    // The year's menu with its "YEAR" list and print button; 2003 to 2005
    // are chosen in the list of the 2005 menu or of the start page.
    std::optional<Menu> ReachMenu(int year, std::string& reason) {
        const char* buttonName = year >= 2014 ? "PB_EKKATH_PDF" : "PBE1_PRINT";
        const std::string menuPage = portal_.YearMenu(std::max(year, 2005));
        if (year >= 2006) {
            browser_.Navigate(portal_.current, menuPage, true);
            const std::optional<Found> list = AwaitElement(menuPage, "YEAR");
            if (!list) {
                reason = OutcomeText(YearOutcome::YearMenuMissing);
                return std::nullopt;
            }
            portal_.current = {list->document.window};
            const auto button = browser_.FindElementByName(list->document, buttonName);
            if (!button) {
                reason = OutcomeText(YearOutcome::PrintButtonMissing);
                return std::nullopt;
            }
            return Menu{list->document, *button};
        }

        const std::string listPage = year == 2005 ? portal_.StartPage() : menuPage;
        browser_.Navigate(portal_.current, listPage, true);
        const std::optional<Found> list = AwaitElement(listPage, "YEAR");
        if (!list) {
            reason = OutcomeText(YearOutcome::YearMenuMissing);
            return std::nullopt;
        }
        portal_.current = {list->document.window};
        // A year missing from the list would leave the portal on another year's menu.
        const int index = browser_.OptionIndexOfText(list->element, std::to_string(year));
        if (index < 0) {
            reason = "ο κατάλογος ετών της Α.Α.Δ.Ε. δεν έχει το έτος";
            return std::nullopt;
        }
        browser_.SetSelectedIndex(list->element, index);
        browser_.FireChange(list->element);
        const std::optional<Found> menu = AwaitElement(menuPage, buttonName, list->element.document);
        if (!menu || !browser_.FindElementByName(menu->document, "YEAR")) {
            reason = OutcomeText(menu ? YearOutcome::YearMenuMissing : YearOutcome::PrintButtonMissing);
            return std::nullopt;
        }
        portal_.current = {menu->document.window};
        return Menu{menu->document, menu->element};
    }

    std::vector<std::string> Handles() {
        std::vector<std::string> handles;
        for (const OpenWindow& window : browser_.Windows()) handles.push_back(window.handle);
        return handles;
    }

    // Report windows of earlier years that opened after their year gave up on them.
    void CloseLateReports() {
        const std::string prefix = portal_.ReportPages();
        for (const OpenWindow& open : browser_.Windows())
            if (open.address.rfind(prefix, 0) == 0 && open.handle != portal_.current.window) {
                try {
                    browser_.CloseWindow(open.handle);
                } catch (const BrowserError&) {
                    if (!browser_.HasApplication()) throw;
                }
            }
    }

    // The return's or the report's window, and any other the year opened.
    void CloseWindowsOpenedSince(const std::vector<std::string>& before) {
        for (const std::string& handle : Handles()) {
            if (handle == portal_.current.window || std::find(before.begin(), before.end(), handle) != before.end())
                continue;
            try {
                browser_.CloseWindow(handle);
            } catch (const BrowserError&) {
                if (!browser_.HasApplication()) throw;
            }
        }
    }

    YearResult OneYear(int year) {
        YearResult result{year, YearEnd::Failed, {}, {}};
        const std::optional<Menu> menu = ReachMenu(year, result.reason);
        if (!menu) return result;
        if (view_->CancelRequested()) return {year, YearEnd::NotReached, kCancelledReason, {}};

        CloseLateReports();
        const std::vector<std::string> before = Handles();
        e1_->clear();
        browser_.Click(menu->printButton);
        std::optional<std::string> report;
        if (year <= 2013) {
            if (const auto page = AwaitElement(E1PageAddress(portal_.hosts, std::to_string(year)), "n901")) {
                const std::vector<ElementFields> fields = browser_.SearchedElements(page->document);
                if (FieldsNameAfm(fields, credentials_.afm)) StoreE1Fields(fields, *e1_);
                else result.reason = OutcomeText(YearOutcome::ReturnWithoutAfm);
            } else {
                result.reason = OutcomeText(YearOutcome::ReturnMissing);
            }
        } else if ((report = AwaitReportBytes(before))) {
            const std::string text = LooksLikePdf(*report) ? ReportPdfText(*report) : *report;
            if (NamesAfm(text, credentials_.afm)) ParseReportText(text, year, *e1_);
            else result.reason = OutcomeText(YearOutcome::ReportWithoutAfm);
        } else {
            result.reason = OutcomeText(YearOutcome::ReportMissing);
        }
        CloseWindowsOpenedSince(before);
        if (!result.reason.empty()) return result;

        result.end = AllZero(*e1_) ? YearEnd::Empty : YearEnd::Read;
        if (!request_->sourcesFolder.empty()) {
            try {
                result.source = report ? KeepReportSource(request_->sourcesFolder, year, *report)
                                       : KeepReturnSource(request_->sourcesFolder, year, *e1_);
            } catch (const std::exception& error) {
                result.reason = std::string("το έγγραφο του έτους δεν φυλάχτηκε: ") + error.what();
            }
        }
        RunYearRules(*e1_, *grid_, year);
        view_->YearFilled(year);
        return result;
    }

    PortalSession& portal_;
    Browser& browser_;
    const BatchRequest* request_ = nullptr;
    E1CodeTable* e1_ = nullptr;
    SheetGrid* grid_ = nullptr;
    BatchView* view_ = nullptr;
    PortalCredentials credentials_;
    const int extra_;
    uint64_t start_ = 0;
    bool loggedIn_ = false;
    std::string reconnectReason_;
    BatchResult result_;
};

bool BatchResult::AnyFailed() const {
    if (!stopReason.empty() || cancelled) return true;
    return std::any_of(years.begin(), years.end(), [](const YearResult& year) {
        return year.end == YearEnd::Failed || year.end == YearEnd::NotReached || !year.reason.empty();
    });
}

std::vector<int> BatchYearOrder(std::vector<int> years) {
    std::sort(years.begin(), years.end(), std::greater<>());
    years.erase(std::unique(years.begin(), years.end()), years.end());
    return years;
}

BatchResult RetrieveYears(PortalSession& portal, const BatchRequest& request, E1CodeTable& e1, SheetGrid& grid,
                          BatchView& view) {
    return BatchRun(portal, request.extraSeconds).Go(request, e1, grid, view, true, true);
}

BatchSession::BatchSession(PortalSession& portal, int extraSeconds)
    : run_(std::make_unique<BatchRun>(portal, extraSeconds)) {}

BatchSession::~BatchSession() = default;

std::string BatchSession::LogIn(const PortalCredentials& credentials) { return run_->Connect(credentials); }

std::string BatchSession::PickClient(const std::string& afm) { return run_->PickClient(afm); }

BatchResult BatchSession::Years(const BatchRequest& request, E1CodeTable& e1, SheetGrid& grid, BatchView& view) {
    return run_->Go(request, e1, grid, view, false, false);
}

void BatchSession::LogOutAndClose() { run_->Finish(); }

bool BatchSession::LoggedIn() const { return run_->LoggedIn(); }

std::vector<std::string> BatchSummaryLines(const BatchResult& result) {
    int read = 0, empty = 0, failed = 0, notReached = 0;
    for (const YearResult& year : result.years) {
        switch (year.end) {
            case YearEnd::Read: ++read; break;
            case YearEnd::Empty: ++empty; break;
            case YearEnd::Failed: ++failed; break;
            case YearEnd::NotReached: ++notReached; break;
        }
    }
    std::vector<std::string> lines;
    lines.push_back("Άντληση " + std::to_string(result.years.size()) + " ετών: " + std::to_string(read) +
                    " αντλήθηκαν, " + std::to_string(empty) + " χωρίς δήλωση, " + std::to_string(failed) +
                    " απέτυχαν, " + std::to_string(notReached) + " δεν αντλήθηκαν.");
    if (!result.stopReason.empty())
        lines.push_back("Η άντληση σταμάτησε πριν από το πρώτο έτος: " + result.stopReason + ".");
    if (result.cancelled) lines.push_back("Η άντληση ακυρώθηκε· τα έτη που αντλήθηκαν έμειναν στο φύλλο.");
    for (const YearResult& year : result.years) {
        std::string line = std::to_string(year.year) + ": ";
        switch (year.end) {
            case YearEnd::Read: line += "αντλήθηκε"; break;
            case YearEnd::Empty: line += "χωρίς δήλωση στην Α.Α.Δ.Ε."; break;
            case YearEnd::Failed: line += "απέτυχε"; break;
            case YearEnd::NotReached: line += "δεν αντλήθηκε"; break;
        }
        if (!year.reason.empty()) line += " (" + year.reason + ")";
        lines.push_back(line);
    }
    return lines;
}

}  // namespace skartina
