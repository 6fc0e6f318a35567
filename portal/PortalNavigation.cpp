// SPDX-License-Identifier: GPL-3.0-or-later
#include "portal/PortalNavigation.h"

#include "portal/Diagnostics.h"
#include "portal/E1PageReader.h"
#include "portal/YearReport.h"

#include <algorithm>
#include <utility>

namespace skartina {
namespace {

// Between two looks at the pages: a browser that reports a change is looked at sooner.
constexpr uint32_t kPassMs = 50;
// How long a browser whose windows the user has just closed takes to go away.
constexpr uint64_t kGoingAwayMs = 1000;

// The steps, as the messages name them.
const std::string kLoginStep = "είσοδος στην Α.Α.Δ.Ε.";
const std::string kClientStep = "επιλογή του πελάτη";
const std::string kMenuStep = "σελίδα του έτους";
const std::string kReturnStep = "δήλωση του έτους";
const std::string kReportStep = "εκκαθαριστικό του έτους";

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

bool HasId(const std::vector<ElementFields>& fields, std::string_view id) {
    return std::any_of(fields.begin(), fields.end(), [&](const ElementFields& f) { return !f.id.empty() && f.id == id; });
}

std::optional<ElementRef> Named(const std::vector<ElementFields>& fields, std::string_view name) {
    for (const ElementFields& field : fields)
        if (field.name == name) return field.element;
    return std::nullopt;
}

std::string DocumentOf(const std::vector<ElementFields>& fields) {
    return fields.empty() ? std::string() : fields.front().element.document;
}

// How a message names an element of the page: in words, with its name in the portal's pages.
std::string WithName(const std::string& words, const char* name) { return words + " (" + name + ")"; }

// The portal's login page where one of its pages was expected: the session has ended.
struct SessionEnded {
    std::string window;  // the window that shows the login page
};

}  // namespace

PortalNavigation::PortalNavigation(PortalSession& portal, NavigationOptions options, RetrievalLog& log)
    : portal_(portal), browser_(portal.browser), pages_(portal.pages()), options_(std::move(options)),
      extra_(std::clamp(options_.extraSeconds, 0, 3600)), log_(&log) {}

void PortalNavigation::ForClient(RetrievalLog& log, std::filesystem::path diagnosticsFolder,
                                 std::function<bool()> cancelRequested) {
    log_ = &log;
    options_.diagnosticsFolder = std::move(diagnosticsFolder);
    options_.cancelRequested = std::move(cancelRequested);
}

template <typename Step>
auto PortalNavigation::Guarded(Step&& step) -> decltype(step()) {
    try {
        return step();
    } catch (const RetrievalStop&) {
        throw;
    } catch (const PortalUnreachable& error) {
        throw RetrievalStop(Ending::Unreachable, error.what());
    } catch (const ReportTooLarge& error) {
        Fail(RetrievalStop(Ending::ReportTooLarge, error.what()), portal_.current.window);
    } catch (const BrowserError& error) {
        // A browser whose windows the user closed goes away a moment later.
        const uint64_t until = browser_.clock().NowMs() + kGoingAwayMs;
        while (browser_.HasApplication() && browser_.clock().NowMs() < until) {
            try {
                if (browser_.Windows().empty()) browser_.BrowserQuit();
            } catch (const BrowserError&) {
                browser_.BrowserQuit();
            }
            if (browser_.HasApplication()) browser_.AwaitChange(kPassMs);
        }
        if (!browser_.HasApplication()) {
            loggedIn_ = clientPicked_ = false;
            throw RetrievalStop(Ending::BrowserClosed, error.what());
        }
        // A browser that fails may not answer at all: the bundle holds the steps alone.
        Fail(RetrievalStop(Ending::BrowserFailed, error.what()), {});
    }
}

void PortalNavigation::Pause(uint32_t milliseconds) {
    if (options_.fixedPauses) Wait(portal_.timing.Pause(milliseconds));
}

void PortalNavigation::Wait(uint32_t milliseconds) {
    // The browser is served while the time passes: a window opened meanwhile
    // is set up and let go, and a dialog answered, instead of waiting for the pause's end.
    const uint64_t until = browser_.clock().NowMs() + milliseconds;
    do {
        if (options_.cancelRequested && options_.cancelRequested())
            throw RetrievalStop(Ending::Cancelled, "cancelled by the user");
        const uint64_t now = browser_.clock().NowMs();
        browser_.AwaitChange(static_cast<uint32_t>(std::min<uint64_t>(until > now ? until - now : 0, kPassMs)));
        NoteDialogs();
    } while (browser_.clock().NowMs() < until);
}

void PortalNavigation::NoteDialogs() {
    for (std::string& text : browser_.TakeDialogs()) {
        log_->Step("η σελίδα έδειξε το μήνυμα «" + text + "», που απαντήθηκε με «OK»");
        dialogs_.push_back(std::move(text));
    }
}

bool PortalNavigation::OnLoginPage(const OpenWindow& window) {
    const std::string login = pages_.LoginHost() + "/", alt = "https://" + pages_.hosts.altLogin + "/";
    if (window.address.rfind(login, 0) != 0 && window.address.rfind(alt, 0) != 0) return false;
    return HasId(browser_.TopDocumentElements({window.handle}), page::kPasswordId);
}

void PortalNavigation::EndSession(const std::string& window) {
    // Kept while the login page is still there to be pictured.
    if (renewed_) Fail(RetrievalStop(Ending::SessionExpired, "the portal ended the session again after a new login"), window);
    throw SessionEnded{window};
}

void PortalNavigation::CheckSession() {
    for (const OpenWindow& window : browser_.Windows())
        if (OnLoginPage(window)) EndSession(window.handle);
}

void PortalNavigation::CheckLoads() {
    for (const OpenWindow& window : browser_.Windows())
        if (const std::optional<std::string> failure = browser_.LoadFailure(window.handle))
            throw PortalUnreachable(AddressWithoutQuery(window.address) + ": " + *failure);
}

bool PortalNavigation::Await(int seconds, const Pass& pass) {
    const uint64_t start = browser_.clock().NowMs();
    const uint64_t limit = static_cast<uint64_t>(seconds + extra_);
    for (;;) {
        if (options_.cancelRequested && options_.cancelRequested())
            throw RetrievalStop(Ending::Cancelled, "cancelled by the user");
        if (!browser_.HasApplication()) throw BrowserError("the browser has ended");
        CheckLoads();
        NoteDialogs();
        try {
            if (watchSession_) CheckSession();
            if (pass()) {
                NoteDialogs();  // answered while the page was looked at
                return true;
            }
        } catch (const PortalUnreachable&) {
            throw;
        } catch (const ReportTooLarge&) {
            throw;
        } catch (const BrowserError&) {
            // A page caught between two documents is not there yet; a browser that has gone is.
            if (!browser_.HasApplication()) throw;
        }
        if ((browser_.clock().NowMs() - start) / 1000 > limit) return false;
        browser_.AwaitChange(kPassMs);
    }
}

std::optional<PortalNavigation::Found> PortalNavigation::AwaitElement(const std::string& address, const char* name,
                                                                      const std::string& staleDocument) {
    std::optional<Found> found;
    bool arriving = false;
    Await(Browser::kWaitElementSeconds, [&] {
        arriving = false;
        for (const OpenWindow& window : browser_.Windows()) {
            if (!Contains(window.address, address)) continue;
            const auto element = browser_.FindElementByName({window.handle}, name);
            if (!element || element->document == staleDocument) continue;
            // Found on a page still arriving is not found: the rest of it may be missing yet.
            if (browser_.DocumentComplete(window.handle)) found = Found{window.handle, *element};
            else arriving = true;
        }
        return found.has_value();
    });
    // The element there on a page that never finished: its message says so, not that it was missing.
    unfinished_ = !found && arriving;
    return found;
}

bool PortalNavigation::AwaitWindow(const std::string& address) {
    std::optional<std::string> found;
    Await(Browser::kFindWindowSeconds, [&] {
        for (const OpenWindow& window : browser_.Windows())
            if (Contains(window.address, address)) found = window.handle;
        return found.has_value();
    });
    if (found) portal_.current = {*found};
    return found.has_value();
}

std::optional<std::string> PortalNavigation::AwaitReportBytes(const std::vector<std::string>& before, std::string& window) {
    // Only a window opened after the click counts: an earlier year's report
    // that came too late must never be read as this year's.
    const std::string prefix = pages_.ReportPages();
    std::optional<std::string> bytes;
    Await(Browser::kFindWindowSeconds, [&] {
        for (const OpenWindow& open : browser_.Windows())
            if (open.address.rfind(prefix, 0) == 0 && std::find(before.begin(), before.end(), open.handle) == before.end())
                window = open.handle;
        if (window.empty()) return false;
        std::string got = browser_.DocumentBytes({window});
        if (got.empty()) return false;
        bytes = std::move(got);
        return true;
    });
    return bytes;
}

void PortalNavigation::NotAsExpected(int year, const std::string& step, const std::string& missing,
                                     const std::string& window) {
    // The login page in a frame, where the portal's page was expected: the session ended there.
    if (watchSession_) {
        try {
            for (const OpenWindow& open : browser_.Windows())
                if (browser_.FindElementById({open.handle}, page::kPasswordId)) EndSession(open.handle);
        } catch (const BrowserError&) {
        }
    }
    year_ = year;
    const bool unfinished = std::exchange(unfinished_, false);
    log_->Step((unfinished ? "η σελίδα δεν ολοκλήρωσε τη φόρτωσή της: " : "δεν εμφανίστηκε: ") + missing);
    std::string address;
    try {
        for (const OpenWindow& open : browser_.Windows())
            if (open.handle == window) address = AddressWithoutQuery(open.address);
    } catch (const BrowserError&) {
    }
    Fail(RetrievalStop(Ending::PageNotAsExpected, step + ": " + missing + " (" + address + ")",
                       {step, missing, dialogs_.empty() ? std::string() : dialogs_.back(), unfinished}),
         window);
}

void PortalNavigation::Fail(RetrievalStop stop, const std::string& window) {
    if (KeepsDiagnostics(stop.ending()) && stop.diagnostics.empty()) stop.diagnostics = Keep(window);
    throw stop;
}

std::filesystem::path PortalNavigation::Keep(const std::string& window) {
    if (options_.diagnosticsFolder.empty()) return {};
    try {
        if (browser_.HasApplication()) NoteDialogs();  // the steps kept end with what the page last said
    } catch (const BrowserError&) {
    }
    try {
        return KeepDiagnostics(options_.diagnosticsFolder, year_ > 0 ? std::to_string(year_) : "login", browser_, window, *log_);
    } catch (const std::exception& error) {
        log_->Note(std::string("the diagnostics could not be kept: ") + error.what());
        return {};
    }
}

void PortalNavigation::Navigate(const std::string& address, bool bypassCache) {
    log_->Step("μετάβαση", address);
    browser_.Navigate(portal_.current, address, bypassCache);
}

void PortalNavigation::Click(const ElementRef& element, const std::string& what) {
    std::string address;
    for (const OpenWindow& window : browser_.Windows())
        if (window.handle == element.window) address = window.address;
    log_->Step(what, address);
    browser_.Click(element);
}

std::vector<std::string> PortalNavigation::Handles() {
    std::vector<std::string> handles;
    for (const OpenWindow& window : browser_.Windows()) handles.push_back(window.handle);
    return handles;
}

void PortalNavigation::CloseWindowsOpenedSince(const std::vector<std::string>& before) {
    for (const std::string& handle : Handles()) {
        if (handle == portal_.current.window || std::find(before.begin(), before.end(), handle) != before.end()) continue;
        try {
            browser_.CloseWindow(handle);
        } catch (const BrowserError&) {
            if (!browser_.HasApplication()) throw;
        }
    }
}

void PortalNavigation::LogIn(const std::string& user, const std::string& password, bool accountant) {
    user_ = user;
    password_ = password;
    accountant_ = accountant;
    year_ = 0;
    dialogs_.clear();
    Guarded([&] {
        // Every run starts from a browser of its own: nothing of an earlier one
        // is reused, unless all it kept was thrown away at the last client's end.
        if (browser_.HasApplication() && !freshBrowser_) browser_.BrowserQuit();
        freshBrowser_ = false;
        loggedIn_ = clientPicked_ = false;
        if (portal_.stepStarting) portal_.stepStarting(kBrowserStartingStep);
        portal_.current = browser_.OpenApplication();
        browser_.PlaceBrowserWindow(portal_.place);
        if (portal_.stepStarting) portal_.stepStarting(kLoginStartingStep);
        Navigate(pages_.EntryPage(), false);

        // The login page, or a window still logged in to a year page.
        const std::string loginHost = pages_.LoginHost();
        const std::string yearPages = pages_.LoggedInYearPages();
        const std::string applicationPages = pages_.ApplicationPages();
        std::optional<std::string> loginWindow;
        std::vector<ElementFields> loginFields;
        std::optional<Found> enter;
        Await(Browser::kWaitElementSeconds, [&] {
            for (const OpenWindow& window : browser_.Windows()) {
                if (Contains(window.address, loginHost)) {
                    std::vector<ElementFields> top = browser_.TopDocumentElements({window.handle});
                    if (HasId(top, page::kPasswordId) && browser_.DocumentComplete(window.handle)) {
                        loginWindow = window.handle;
                        loginFields = std::move(top);
                    }
                } else if (Contains(window.address, yearPages)) {
                    if (auto image = Named(browser_.TopDocumentElements({window.handle}), page::kEnterImage))
                        if (browser_.DocumentComplete(window.handle)) enter = Found{window.handle, *image};
                }
            }
            return loginWindow || enter;
        });
        if (!loginWindow && !enter)
            NotAsExpected(0, kLoginStep, WithName("η σελίδα εισόδου, το πεδίο του κωδικού", page::kPasswordId),
                          portal_.current.window);

        if (!enter) {
            portal_.current = {*loginWindow};
            bool userSet = false, passwordSet = false;
            std::optional<ElementRef> button;
            for (const ElementFields& field : loginFields) {
                if (field.id == page::kUserId) {
                    browser_.SetValue(field.element, user);
                    userSet = true;
                } else if (field.id == page::kPasswordId) {
                    browser_.SetValue(field.element, password);
                    passwordSet = true;
                }
                if ((field.type == "SUBMIT" || field.type == "submit") && field.name == page::kLoginButton)
                    button = field.element;
            }
            if (!userSet || !passwordSet)
                NotAsExpected(0, kLoginStep,
                              std::string("τα πεδία του ονόματος χρήστη και του κωδικού (") + page::kUserId + ", " +
                                  page::kPasswordId + ")",
                              *loginWindow);
            if (!button) NotAsExpected(0, kLoginStep, WithName("το κουμπί σύνδεσης", page::kLoginButton), *loginWindow);
            const std::string submitted = DocumentOf(loginFields);
            Click(*button, "σύνδεση");

            // The portal answers with the application page, or, when it refused
            // the user name or the password, with its login page again or a
            // page that says so.
            bool refused = false;
            Await(Browser::kWaitElementSeconds, [&] {
                for (const OpenWindow& window : browser_.Windows()) {
                    const bool application = Contains(window.address, applicationPages);
                    if (!application && !Contains(window.address, loginHost) &&
                        !Contains(window.address, "https://" + pages_.hosts.altLogin))
                        continue;
                    const std::vector<ElementFields> top = browser_.TopDocumentElements({window.handle});
                    if (DocumentOf(top) == submitted || !browser_.DocumentComplete(window.handle)) continue;
                    if (application) {
                        if (auto image = Named(top, page::kEnterImage)) {
                            enter = Found{window.handle, *image};
                            continue;
                        }
                    }
                    if (!application && HasId(top, page::kPasswordId)) refused = true;
                    else if (page::SaysLoginRefused(browser_.PageText(window.handle))) refused = true;
                }
                return enter || refused;
            });
            if (!enter && refused) {
                log_->Step("η Α.Α.Δ.Ε. απάντησε στη σύνδεση με τη σελίδα εισόδου ή με μήνυμα λάθους", pages_.LoginHost());
                throw RetrievalStop(Ending::WrongCredentials, "the portal refused the login");
            }
            if (!enter)
                NotAsExpected(0, kLoginStep, WithName("η σελίδα της εφαρμογής μετά την είσοδο", page::kEnterImage), *loginWindow);
        }
        portal_.current = {enter->window};
        Click(enter->element, "είσοδος στην εφαρμογή");
        loggedIn_ = true;
        Pause(1000);
        if (!accountant && !AwaitWindow(pages_.StartPage()))
            NotAsExpected(0, kLoginStep, "η αρχική σελίδα των δηλώσεων", portal_.current.window);
    });
}

void PortalNavigation::LogInAgain() {
    log_->Step("η Α.Α.Δ.Ε. έκλεισε τη σύνδεση: νέα είσοδος");
    const int year = year_;
    const std::vector<std::string> dialogs = dialogs_;
    LogIn(user_, password_, accountant_);
    if (accountant_ && !client_.empty()) PickClient(client_);
    year_ = year;
    dialogs_ = dialogs;
}

void PortalNavigation::PickClient(const std::string& taxNumber) {
    year_ = 0;
    dialogs_.clear();
    for (bool again = false;; again = true) {
        renewed_ = again;
        try {
            Guarded([&] {
                watchSession_ = clientPicked_;
                if (clientPicked_) {
                    // Back to the application's entrance, which leads an accountant to the client choice.
                    Navigate(pages_.EntryPage(), false);
                    const std::optional<Found> enter = AwaitElement(pages_.ApplicationPages(), page::kEnterImage);
                    if (!enter)
                        NotAsExpected(0, kClientStep, WithName("η σελίδα της εφαρμογής", page::kEnterImage), portal_.current.window);
                    portal_.current = {enter->window};
                    Click(enter->element, "είσοδος στην εφαρμογή");
                }
                EnterClient(taxNumber);
            });
            watchSession_ = false;
            return;
        } catch (const SessionEnded& ended) {
            // The session that ended between two clients: logged in again, once.
            watchSession_ = false;
            if (again) Fail(RetrievalStop(Ending::SessionExpired, "the portal ended the session twice"), ended.window);
            client_.clear();
            LogInAgain();
        } catch (...) {
            watchSession_ = false;
            throw;
        }
    }
}

void PortalNavigation::EnterClient(const std::string& taxNumber) {
    const std::string applicationPages = pages_.ApplicationPages();
    std::optional<Found> field, proceed;
    std::string submitted;
    Await(Browser::kWaitElementSeconds, [&] {
        for (const OpenWindow& window : browser_.Windows()) {
            if (!Contains(window.address, applicationPages)) continue;
            const std::vector<ElementFields> top = browser_.TopDocumentElements({window.handle});
            const auto taxNumberField = Named(top, page::kClientTaxNumberField);
            const auto button = Named(top, page::kClientProceed);
            if (taxNumberField && button && browser_.DocumentComplete(window.handle)) {
                field = Found{window.handle, *taxNumberField};
                proceed = Found{window.handle, *button};
                submitted = DocumentOf(top);
            }
        }
        return proceed.has_value();
    });
    if (!proceed) NotAsExpected(0, kClientStep, WithName("η σελίδα επιλογής πελάτη", page::kClientProceed), portal_.current.window);
    portal_.current = {proceed->window};
    browser_.SetValue(field->element, taxNumber);
    Click(proceed->element, "επιλογή πελάτη");

    // The start page once the portal has accepted the client; its client
    // choice again when it has not.
    bool accepted = false, refused = false;
    Await(Browser::kFindWindowSeconds, [&] {
        for (const OpenWindow& window : browser_.Windows()) {
            if (Contains(window.address, pages_.StartPage())) {
                accepted = true;
                portal_.current = {window.handle};
            } else if (Contains(window.address, applicationPages)) {
                const std::vector<ElementFields> top = browser_.TopDocumentElements({window.handle});
                if (DocumentOf(top) != submitted && Named(top, page::kClientProceed)) refused = true;
            }
        }
        return accepted || refused;
    });
    if (!accepted && refused) throw RetrievalStop(Ending::ClientRefused, "the portal answered the client's tax number with its client choice again");
    if (!accepted) NotAsExpected(0, kClientStep, "η αρχική σελίδα των δηλώσεων μετά την επιλογή του πελάτη", proceed->window);
    clientPicked_ = true;
    client_ = taxNumber;
}

YearDocument PortalNavigation::ReadYear(int year, const std::string& taxNumber, E1CodeTable& e1) {
    year_ = year;
    dialogs_.clear();
    for (bool again = false;; again = true) {
        watchSession_ = true;
        renewed_ = again;
        try {
            YearDocument document = ReadYearOnce(year, taxNumber, e1);
            watchSession_ = false;
            return document;
        } catch (const SessionEnded& ended) {
            watchSession_ = false;
            if (again) Fail(RetrievalStop(Ending::SessionExpired, "the portal ended the session twice in the year"), ended.window);
            LogInAgain();
        } catch (...) {
            watchSession_ = false;
            throw;
        }
    }
}

YearDocument PortalNavigation::ReadYearOnce(int year, const std::string& taxNumber, E1CodeTable& e1) {
    return Guarded([&] {
        const std::string menuAddress = pages_.MenuOf(year);
        const char* printName = page::PrintButton(year);
        const std::string printButton = WithName("το κουμπί εκτύπωσης", printName);
        const std::string yearList = WithName("ο κατάλογος των ετών", page::kYearList);
        Found menu;
        if (year >= page::kFirstOwnMenuYear) {
            Navigate(menuAddress, true);
            Pause(2000);
            const std::optional<Found> list = AwaitElement(menuAddress, page::kYearList);
            if (!list) NotAsExpected(year, kMenuStep, yearList, portal_.current.window);
            menu = *list;
        } else {
            const std::string listPage = pages_.YearListPage(year);
            Navigate(listPage, true);
            Pause(2000);
            const std::optional<Found> list = AwaitElement(listPage, page::kYearList);
            if (!list) NotAsExpected(year, kMenuStep, yearList, portal_.current.window);
            portal_.current = {list->window};
            // A year missing from the list would leave the portal on another year's menu.
            const int index = browser_.OptionIndexOfText(list->element, std::to_string(year));
            if (index < 0) NotAsExpected(year, kMenuStep, "το έτος " + std::to_string(year) + " στον κατάλογο των ετών", list->window);
            Pause(2000);
            log_->Step("επιλογή του έτους " + std::to_string(year) + " στον κατάλογο");
            browser_.SetSelectedIndex(list->element, index);
            browser_.FireChange(list->element);
            Pause(2000);
            const std::optional<Found> chosen = AwaitElement(menuAddress, printName, list->element.document);
            if (!chosen) NotAsExpected(year, kMenuStep, printButton, portal_.current.window);
            menu = *chosen;
        }
        portal_.current = {menu.window};
        Pause(3000);
        const std::optional<ElementRef> button = browser_.FindElementByName({menu.window}, printName);
        if (!button) NotAsExpected(year, kMenuStep, printButton, menu.window);

        // Report windows of earlier years that came after their year gave up on them.
        for (const OpenWindow& open : browser_.Windows())
            if (open.address.rfind(pages_.ReportPages(), 0) == 0 && open.handle != portal_.current.window)
                browser_.CloseWindow(open.handle);
        const std::vector<std::string> before = Handles();
        e1.clear();
        Click(*button, "εκτύπωση");
        YearDocument document;
        try {
            if (options_.fixedPauses) Wait(portal_.timing.AfterPrint(year >= page::kFirstReportYear ? 3000 : 2000, extra_));
            if (year < page::kFirstReportYear) {
                const std::optional<Found> shown = AwaitElement(pages_.ReturnPage(year), page::kReturnFirstField);
                if (!shown) {
                    const std::vector<std::string> now = Handles();
                    const auto opened = std::find_if(now.rbegin(), now.rend(), [&](const std::string& h) {
                        return std::find(before.begin(), before.end(), h) == before.end();
                    });
                    NotAsExpected(year, kReturnStep, WithName("η δήλωση, το πεδίο", page::kReturnFirstField),
                                  opened != now.rend() ? *opened : portal_.current.window);
                }
                log_->Step("ανάγνωση της δήλωσης");
                // A return of another taxpayer is never taken for the client's: its
                // tax number is in a field, or in the page's text (in boxes of a digit each).
                const std::vector<ElementFields> fields = browser_.ElementsBeside(shown->element);
                // The page replaced between the look and the reading: nothing of it is taken.
                if (std::none_of(fields.begin(), fields.end(), [&](const ElementFields& f) { return f.element == shown->element; }))
                    NotAsExpected(year, kReturnStep, WithName("η δήλωση, το πεδίο", page::kReturnFirstField), shown->window);
                if (!FieldsNameTaxNumber(fields, taxNumber) && !PageTextNamesTaxNumber(browser_.PageText(shown->window), taxNumber))
                    Fail(RetrievalStop(Ending::ReturnWithoutTaxNumber, "the return of " + std::to_string(year) + " does not name the tax number"),
                         shown->window);
                StoreE1Fields(fields, e1);
            } else {
                std::string window;
                std::optional<std::string> bytes;
                try {
                    bytes = AwaitReportBytes(before, window);
                } catch (const ReportTooLarge& error) {
                    Fail(RetrievalStop(Ending::ReportTooLarge, error.what()), window);  // pictured while its window is open
                }
                if (!bytes && window.empty()) {
                    // A window that opened and is still waiting for the report is a late report, not a missing window.
                    bool opened = false;
                    for (const std::string& handle : browser_.OpeningWindows())
                        opened = opened || std::find(before.begin(), before.end(), handle) == before.end();
                    for (const std::string& handle : Handles())
                        if (std::find(before.begin(), before.end(), handle) == before.end()) window = handle;
                    if (window.empty() && !opened)
                        NotAsExpected(year, kReportStep, "το παράθυρο του εκκαθαριστικού", portal_.current.window);
                    if (window.empty()) window = portal_.current.window;
                }
                if (!bytes)
                    NotAsExpected(year, kReportStep, "το αρχείο του εκκαθαριστικού (το παράθυρό του άνοιξε, το αρχείο δεν έφτασε)",
                                  window);
                log_->Step("ανάγνωση του εκκαθαριστικού");
                Pause(3000);
                Pause(2000);
                Pause(2000);
                std::string unread;
                try {
                    unread = ReadYearReport(*bytes, year, taxNumber, e1).value_or("");
                } catch (const RetrievalStop& stop) {
                    Fail(stop, window);  // another taxpayer's report, kept to be looked at
                }
                document = {true, std::move(*bytes), std::move(unread)};
                // A report that gave nothing to read fails its year: how it came is kept beside it.
                if (!document.unread.empty()) document.diagnostics = Keep(window);
                Pause(2000);
            }
        } catch (...) {
            try {
                if (browser_.HasApplication()) CloseWindowsOpenedSince(before);
            } catch (const BrowserError&) {
            }
            throw;
        }
        CloseWindowsOpenedSince(before);
        if (document.report) Pause(2000);
        return document;
    });
}

void PortalNavigation::Recover() {
    if (!browser_.HasApplication()) {
        LogIn(user_, password_, accountant_);
        if (accountant_ && !client_.empty()) PickClient(client_);
        return;
    }
    // The portal's window gone, another still open: the run goes on in that one.
    Guarded([&] {
        const std::vector<std::string> handles = Handles();
        if (!handles.empty() && std::find(handles.begin(), handles.end(), portal_.current.window) == handles.end())
            portal_.current = {handles.back()};
    });
}

void PortalNavigation::LogOut() {
    try {
        if (loggedIn_ && browser_.HasApplication()) Navigate(pages_.LogoutPage(), false);
    } catch (const BrowserError&) {
        // A browser failing now is closed all the same.
    } catch (const RetrievalCancelled&) {
        // So is one whose logout the user would not wait for.
    }
    loggedIn_ = clientPicked_ = false;
}

void PortalNavigation::LogOutAndClose() {
    LogOut();
    freshBrowser_ = false;
    browser_.BrowserQuit();
}

void PortalNavigation::LogOutKeepingBrowser() {
    LogOut();
    bool fresh = false;
    try {
        fresh = browser_.NewPrivateSession();
    } catch (const BrowserError&) {
    }
    if (!fresh) browser_.BrowserQuit();
    freshBrowser_ = fresh;
}

}  // namespace skartina
