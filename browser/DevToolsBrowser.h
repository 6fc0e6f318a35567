// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The browser as Chromium driven over the DevTools protocol on a private pipe.
// Chromium is this program's own child, started on the first retrieval with a
// fresh private profile; it is killed should this program die, and ends with
// the application. The browser application is that Chromium; the window list
// is its page targets, in the order they appeared, each driven through a
// session of its own on the one pipe.

#include "portal/Browser.h"
#include "browser/BrowserConfig.h"
#include "browser/BrowserProfile.h"
#include "browser/ChildProcess.h"
#include "browser/DevToolsPipe.h"

#include <nlohmann/json.hpp>

#include <deque>
#include <map>
#include <memory>
#include <set>
#include <optional>
#include <string>
#include <vector>

namespace skartina {

class DevToolsBrowser : public Browser {
public:
    DevToolsBrowser(PumpClock& clock, BrowserConfig config);
    ~DevToolsBrowser() override;

    bool HasApplication() const override { return pipe_ != nullptr; }
    BrowserRef OpenApplication() override;
    void PlaceBrowserWindow(ScreenRect place) override;
    void MinimiseBrowserWindow() override;
    bool NewPrivateSession() override;
    void BrowserQuit() override;

    std::vector<OpenWindow> Windows() override;
    std::vector<std::string> OpeningWindows() override;

    void SetValue(const ElementRef& element, std::string_view text) override;
    void Click(const ElementRef& element) override;
    bool IsChecked(const ElementRef& element) override;
    std::optional<std::string> Attribute(const ElementRef& element, std::string_view name) override;
    std::string Id(const ElementRef& element) override;
    void SetSelectedIndex(const ElementRef& list, int index) override;
    void FireChange(const ElementRef& list) override;
    std::vector<std::string> OptionTexts(const ElementRef& list) override;

    void Navigate(const BrowserRef& browser, std::string_view address, bool bypassCache) override;
    std::string DocumentUrl(const DocumentRef& document) override;
    std::string DocumentTitle(const DocumentRef& document) override;
    std::optional<std::string> FindWindowByTitle(std::string_view title) override;
    void CloseWindow(const std::string& handle) override;

    // The bytes of the document a window opened by a page shows (a report's
    // PDF), kept as they arrived; empty for any other document.
    std::string DocumentBytes(const DocumentRef& document) override;

    void AwaitChange(uint32_t milliseconds) override;
    std::optional<std::string> LoadFailure(const std::string& window) override;
    bool DocumentComplete(const std::string& window) override;
    std::string PageText(const std::string& window) override;
    std::vector<std::string> TakeDialogs() override;
    std::string Screenshot(const std::string& window) override;
    std::string PageWithoutValues(const std::string& window) override;

    // A function body run in a window's top document with the arguments, its
    // result by value; for diagnostics and measurements.
    nlohmann::json Evaluate(const std::string& window, const std::string& body,
                            const nlohmann::json& arguments = nlohmann::json::array());

    // A raw command to the browser, outside any page; for diagnostics and tests.
    nlohmann::json Command(const std::string& method, const nlohmann::json& params = nlohmann::json::object()) {
        return Call(method, params);
    }

    // The browser's process, while the application is open.
    pid_t BrowserProcess() const { return process_ ? process_->pid() : -1; }
    // The profile folder, while the application is open.
    std::filesystem::path ProfileFolder() const { return profile_ ? profile_->path() : std::filesystem::path(); }

protected:
    int FrameCount(const DocumentRef& document) override;
    int AllFrameCount(const DocumentRef& document) override;
    TopSearch SearchTopDocument(const DocumentRef& document, std::string_view key, MatchMode mode) override;
    std::optional<ElementRef> SearchDocument(const DocumentRef& document, int frame, std::string_view key,
                                             MatchMode mode) override;
    std::vector<ElementFields> DocumentElements(const DocumentRef& document, int frame) override;

private:
    struct Target {
        std::string id, type, url, title, opener, context;
    };
    // A window attached as it opened, waiting to be set up and let go.
    struct Attached {
        std::string target, session;
        bool popup = false;
    };
    // A window whose setting-up commands are sent and not all answered.
    struct Starting {
        std::string target, session;
        bool page = false;
        std::vector<int> commands;  // ids; -1 once answered
        bool failed = false;
    };
    // A page dialog waiting for its answer.
    struct Dialog {
        std::string session, message;
    };
    // A document's answer held back until its bytes are read.
    struct HeldAnswer {
        std::string session, request;
        int status = 0;
        nlohmann::json headers;
    };

    void Launch();
    // A new browser context held in memory alone and its first window, the
    // application's from now on.
    void OpenPrivateWindow();
    std::vector<std::string> Arguments() const;
    void WritePreferences() const;
    // The browser is over: the pipe closed, the process group stopped, the profile removed.
    void EndSession();
    nlohmann::json Call(const std::string& method, const nlohmann::json& params = nlohmann::json::object(),
                        const std::string& session = {}, int timeoutMs = DevToolsPipe::kAnswerMs);
    bool WaitFor(const std::function<bool()>& done, int timeoutMs);
    void HandleEvent(const nlohmann::json& event);
    std::string SessionOf(const std::string& window);
    nlohmann::json Script(const std::string& window, const char* body, const nlohmann::json& arguments);
    nlohmann::json OnElement(const ElementRef& element, const char* body, nlohmann::json extra = {});
    // The page targets now, oldest first, as the events told them; none when
    // the browser has ended.
    std::vector<Target> Pages();
    bool IsPage(const std::string& id) const;
    // The operating-system window of the application's page (or, once that
    // page is gone, of the oldest page); none when no page is left.
    std::optional<int> ApplicationWindowId();
    // What the events asked for that needs commands: new windows set up and
    // let go, held answers read and passed on. Never run from inside an event.
    void Service();
    void SetUpWindow(const Attached& window);
    // Lets go the windows whose setting up has been answered.
    void FinishSetUps();
    // Watches the window's page: its loads, its dialogs, and the same
    // identity as a browser with a window would give.
    void WatchPage(const std::string& session);
    void ReadHeldAnswer(const HeldAnswer& held);
    std::string TargetOfSession(const std::string& session) const;

    BrowserConfig config_;
    std::unique_ptr<BrowserProfile> profile_;
    std::unique_ptr<ChildProcess> process_;
    std::shared_ptr<DevToolsPipe> pipe_;
    std::string applicationWindow_;
    std::string context_;                          // the application's browser context
    std::vector<Target> targets_;                  // in the order they appeared
    std::map<std::string, std::string> sessions_;  // target id -> session id
    std::set<std::string> pageEvents_;             // sessions that report page loads
    std::set<std::string> networkOn_;              // sessions whose network agent is on
    std::deque<std::string> loaded_;               // the latest loads whose document was parsed
    std::vector<Attached> attached_;               // windows not yet set up
    std::vector<Starting> starting_;               // windows being set up
    std::set<std::string> ready_;                  // windows set up and let go: only these are listed
    std::vector<HeldAnswer> held_;                 // documents not yet read
    std::vector<Dialog> dialogs_;                  // dialogs not yet answered
    std::vector<std::string> answeredDialogs_;     // their texts, until taken
    std::string userAgent_;                        // headless: the one a browser with a window sends
    std::map<std::string, std::string> bytes_;     // target id -> its document's bytes
    std::map<std::string, std::string> refusedReports_;  // target id -> why its bytes were not read
    std::map<std::string, std::string> failed_;    // target id -> the address it could not load
    uint64_t changes_ = 0;                         // events seen, for AwaitChange
};

}  // namespace skartina
