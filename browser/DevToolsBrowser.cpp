// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/DevToolsBrowser.h"

#include "browser/BrowserEnvironment.h"
#include "browser/ChromiumArguments.h"
#include "browser/DevToolsAnswers.h"
#include "browser/PageScripts.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <thread>
#include <utility>
#include <cerrno>
#include <cstring>
#include <fstream>

namespace skartina {
namespace {

using nlohmann::json;

// A start of the browser, a closed window, a loading page: how long each may take.
constexpr int kStartMs = 30000;
constexpr int kCloseMs = 5000;
constexpr int kLoadMs = 30000;
constexpr int kScreenshotMs = 5000;
constexpr size_t kLoadsKept = 64;

std::string EncodeBase64(const std::string& bytes) {
    std::string text(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()),
                                       reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
    text.resize(static_cast<size_t>(length));
    return text;
}

std::string WithoutQuery(const std::string& address) { return address.substr(0, address.find_first_of("?#")); }

// The value of a header of a held answer, by name in any letter case.
std::string HeaderValue(const json& headers, std::string_view name) {
    if (!headers.is_array()) return {};
    for (const json& header : headers) {
        if (!header.is_object()) continue;
        std::string key = devtools::Text(header, "name");
        std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (key == name) return devtools::Text(header, "value");
    }
    return {};
}

}  // namespace

DevToolsBrowser::DevToolsBrowser(PumpClock& clock, BrowserConfig config) : Browser(clock), config_(std::move(config)) {}

DevToolsBrowser::~DevToolsBrowser() { BrowserQuit(); }

std::vector<std::string> DevToolsBrowser::Arguments() const {
    return ChromiumArguments(config_, profile_->path(), geteuid() == 0);
}

// Pop-ups are allowed for the portal's hosts only, not for every page; saving
// passwords is off, the profile being thrown away at the end anyway.
void DevToolsBrowser::WritePreferences() const {
    json popups = json::object();
    for (const std::string& host : config_.popupHosts) popups["https://" + host + ",*"] = {{"setting", 1}};
    const json preferences = {{"profile", {{"content_settings", {{"exceptions", {{"popups", popups}}}}},
                                           {"password_manager_enabled", false}}},
                              {"credentials_enable_service", false}};
    const std::filesystem::path folder = profile_->path() / "Default";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "Preferences") << preferences.dump();
}

void DevToolsBrowser::Launch() {
    profile_ = std::make_unique<BrowserProfile>();
    WritePreferences();

    int toBrowser[2], fromBrowser[2];
    if (pipe2(toBrowser, O_CLOEXEC) != 0) throw BrowserError("pipe: " + std::string(strerror(errno)));
    if (pipe2(fromBrowser, O_CLOEXEC) != 0) {
        close(toBrowser[0]);
        close(toBrowser[1]);
        throw BrowserError("pipe: " + std::string(strerror(errno)));
    }
    ChildOptions options;
    options.quiet = true;
    options.descriptors = {{3, toBrowser[0]}, {4, fromBrowser[1]}};
    // Chromium starts its crash handler whatever the switches say; its
    // database, like everything else the browser writes, goes into the
    // profile, so it goes with it. None of this program's secrets pass.
    options.environment = BrowserEnvironment(profile_->path());
    options.inheritEnvironment = false;
    // Killed with this program. The signal comes when the starting thread
    // ends, so the browser is started from the user-interface thread only.
    options.deathSignal = SIGKILL;
    try {
        process_ = std::make_unique<ChildProcess>(config_.chromium, Arguments(), options);
    } catch (const std::exception& error) {
        for (int fd : {toBrowser[0], toBrowser[1], fromBrowser[0], fromBrowser[1]}) close(fd);
        throw BrowserError(error.what());
    }
    close(toBrowser[0]);
    close(fromBrowser[1]);
    pipe_ = std::make_shared<DevToolsPipe>(toBrowser[1], fromBrowser[0], clock());
    pipe_->OnEvent([this](const json& event) { HandleEvent(event); });
    pipe_->OnIdle([this] { Service(); });

    // A headless browser names itself so in every request; the portal sees
    // the same browser as with a window, whichever runs.
    if (config_.headless) {
        userAgent_ = devtools::Text(Call("Browser.getVersion"), "userAgent");
        if (const size_t at = userAgent_.find("HeadlessChrome"); at != std::string::npos)
            userAgent_.replace(at, std::string("HeadlessChrome").size(), "Chrome");
        else
            userAgent_.clear();
    }
    Call("Target.setDiscoverTargets", {{"discover", true}});
    // Every window is attached as it opens and held until it is set up, so
    // that nothing of its first document is missed.
    Call("Target.setAutoAttach", {{"autoAttach", true}, {"waitForDebuggerOnStart", true}, {"flatten", true}});
    // Only for the simulated portal and its self-made certificate.
    if (config_.acceptInsecureCerts) Call("Security.setIgnoreCertificateErrors", {{"ignore", true}});
    const auto anyPage = [this] {
        Pages();
        return std::any_of(targets_.begin(), targets_.end(), [](const Target& t) { return t.type == "page"; });
    };
    if (!WaitFor(anyPage, kStartMs)) throw BrowserError("the browser opened no window");
    // The first window is let go once set up.
    WaitFor([this] {
        Pages();
        return starting_.empty() && attached_.empty();
    }, kStartMs);
    // A first window that was not attached as it opened is attached now.
    for (const Target& target : std::vector<Target>(targets_))
        if (target.type == "page" && !ready_.count(target.id)) SessionOf(target.id);
    const std::string first = Pages().front().id;
    OpenPrivateWindow();
    if (first != applicationWindow_) {
        Call("Target.closeTarget", {{"targetId", first}});
        WaitFor([&] { return !IsPage(first); }, kCloseMs);
    }
}

void DevToolsBrowser::OpenPrivateWindow() {
    // The portal is read in a browser context held in memory alone: its
    // cookies (the portal's session) never reach a file of the profile.
    const std::string context =
        devtools::Text(Call("Target.createBrowserContext", {{"disposeOnDetach", true}}), "browserContextId");
    if (context.empty()) throw BrowserError("the browser made no private context");
    // Without an application window the one opening now is not taken for a page's pop-up.
    applicationWindow_.clear();
    const std::string window = devtools::Text(
        Call("Target.createTarget", {{"url", "about:blank"}, {"browserContextId", context}}), "targetId");
    applicationWindow_ = window;
    context_ = context;
    if (!WaitFor([&] {
            Pages();
            return ready_.count(window) > 0;
        }, kStartMs))
        throw BrowserError("the browser's private window did not open");
}

bool DevToolsBrowser::NewPrivateSession() {
    if (!HasApplication()) return false;
    const std::string old = context_;
    try {
        OpenPrivateWindow();
        // The old context's windows go with it, and every cookie, stored page
        // and cached document of its session.
        Call("Target.disposeBrowserContext", {{"browserContextId", old}});
        return WaitFor([&] {
            Pages();
            return std::none_of(targets_.begin(), targets_.end(), [&](const Target& t) { return t.context == old; });
        }, kCloseMs);
    } catch (const BrowserError&) {
        return false;  // a browser that cannot is ended by the caller
    }
}

BrowserRef DevToolsBrowser::OpenApplication() {
    if (HasApplication()) return {applicationWindow_};
    try {
        Launch();
    } catch (const RetrievalCancelled&) {
        EndSession();  // the user closed the window while the browser was starting
        throw;
    } catch (const std::exception& error) {
        EndSession();
        throw BrowserError("the browser (" + config_.chromium + ") did not start: " + error.what());
    }
    return {applicationWindow_};
}

void DevToolsBrowser::BrowserQuit() { EndSession(); }

void DevToolsBrowser::EndSession() {
    // The profile is thrown away: there is nothing for an orderly quit to
    // save, so the browser is not waited for. The closed pipe ends it, and its
    // whole group is stopped at once.
    if (pipe_) pipe_->CloseToBrowser();
    pipe_.reset();
    if (process_) process_->Stop(0);
    process_.reset();
    profile_.reset();
    applicationWindow_.clear();
    context_.clear();
    targets_.clear();
    sessions_.clear();
    pageEvents_.clear();
    networkOn_.clear();
    loaded_.clear();
    attached_.clear();
    starting_.clear();
    ready_.clear();
    held_.clear();
    dialogs_.clear();
    answeredDialogs_.clear();
    userAgent_.clear();
    bytes_.clear();
    refusedReports_.clear();
    failed_.clear();
}

json DevToolsBrowser::Call(const std::string& method, const json& params, const std::string& session, int timeoutMs) {
    if (!pipe_) throw BrowserError("the browser is not open");
    // Held here: a pump inside the call may end the application.
    const std::shared_ptr<DevToolsPipe> pipe = pipe_;
    try {
        return pipe->Call(method, params, session, timeoutMs);
    } catch (const BrowserGone&) {
        if (pipe_ == pipe) EndSession();
        throw;
    }
}

bool DevToolsBrowser::WaitFor(const std::function<bool()>& done, int timeoutMs) {
    if (!pipe_) throw BrowserError("the browser is not open");
    const std::shared_ptr<DevToolsPipe> pipe = pipe_;
    try {
        return pipe->WaitFor(done, timeoutMs);
    } catch (const BrowserGone&) {
        if (pipe_ == pipe) EndSession();
        throw;
    }
}

void DevToolsBrowser::HandleEvent(const json& event) {
    // No command is sent from here: the pipe is in the middle of reading.
    // What needs one is queued for Service(). An event that is not what it
    // should be is passed over: the target list is the truth, and a load that
    // is not seen is waited out.
    ++changes_;
    const std::string method = devtools::Text(event, "method");
    const json params = event.contains("params") && event["params"].is_object() ? event["params"] : json::object();
    const json info = params.contains("targetInfo") && params["targetInfo"].is_object() ? params["targetInfo"] : json::object();
    if (method == "Target.attachedToTarget") {
        const std::optional<devtools::TargetInfo> target = devtools::TargetOf(info);
        const std::string session = devtools::Text(params, "sessionId");
        if (!target || session.empty()) return;
        // Every window but the first is one a page opened, however it did
        // (a script with or without its opener, a link or form aimed at a new window).
        attached_.push_back({target->id, session, target->type == "page" && !applicationWindow_.empty()});
        if (target->type == "page") sessions_[target->id] = session;
    } else if (method == "Fetch.requestPaused") {
        const json status = params.contains("responseStatusCode") ? params["responseStatusCode"] : json();
        held_.push_back({devtools::Text(event, "sessionId"), devtools::Text(params, "requestId"),
                         status.is_number_integer() ? status.get<int>() : 0,
                         params.contains("responseHeaders") ? params["responseHeaders"] : json::array()});
    } else if (method == "Page.javascriptDialogOpening") {
        dialogs_.push_back({devtools::Text(event, "sessionId"), devtools::Text(params, "message")});
    } else if (method == "Page.frameNavigated") {
        const json frame = params.contains("frame") && params["frame"].is_object() ? params["frame"] : json::object();
        if (!frame.contains("parentId")) {
            const std::string target = TargetOfSession(devtools::Text(event, "sessionId"));
            if (frame.contains("unreachableUrl")) failed_[target] = devtools::Text(frame, "unreachableUrl");
            else failed_.erase(target);
        }
    } else if (method == "Target.targetCreated" || method == "Target.targetInfoChanged") {
        std::optional<devtools::TargetInfo> found = devtools::TargetOf(info);
        if (!found) return;
        Target target{std::move(found->id), std::move(found->type), std::move(found->url), std::move(found->title),
                      std::move(found->opener), std::move(found->context)};
        auto known = std::find_if(targets_.begin(), targets_.end(), [&](const Target& t) { return t.id == target.id; });
        if (known == targets_.end())
            targets_.push_back(std::move(target));
        else
            *known = std::move(target);
    } else if (method == "Target.targetDestroyed") {
        const std::string id = devtools::Text(params, "targetId");
        std::erase_if(targets_, [&](const Target& t) { return t.id == id; });
        std::erase_if(starting_, [&](const Starting& starting) {
            if (starting.target != id) return false;
            for (int command : starting.commands)
                if (command >= 0 && pipe_) pipe_->Forget(command);
            return true;
        });
        // A browser kept over many clients keeps nothing of their closed windows.
        if (const auto session = sessions_.find(id); session != sessions_.end()) {
            pageEvents_.erase(session->second);
            networkOn_.erase(session->second);
        }
        sessions_.erase(id);
        ready_.erase(id);
        bytes_.erase(id);
        refusedReports_.erase(id);
        failed_.erase(id);
    } else if (method == "Target.detachedFromTarget") {
        sessions_.erase(devtools::Text(params, "targetId"));
    } else if (method == "Page.lifecycleEvent" && devtools::Text(params, "name") == "DOMContentLoaded") {
        loaded_.push_back(devtools::Text(params, "loaderId"));
        if (loaded_.size() > kLoadsKept) loaded_.pop_front();
    }
}

std::vector<DevToolsBrowser::Target> DevToolsBrowser::Pages() {
    if (!HasApplication()) return {};
    // A browser killed outright may leave its pipe open in its children for a while.
    if (process_ && !process_->Running()) {
        EndSession();
        return {};
    }
    try {
        pipe_->WaitFor([] { return true; }, 0);  // what the browser has told meanwhile
        Service();
    } catch (const BrowserGone&) {
        EndSession();  // the browser went away: the application is over
        return {};
    }
    // A window still held for its setting up is not listed: a script run in it would wait for good.
    std::vector<Target> pages;
    std::copy_if(targets_.begin(), targets_.end(), std::back_inserter(pages),
                 [this](const Target& t) { return t.type == "page" && ready_.count(t.id); });
    if (pages.empty() && !applicationWindow_.empty() &&
        std::none_of(targets_.begin(), targets_.end(), [](const Target& t) { return t.type == "page"; }))
        BrowserQuit();  // the user closed the last window
    return pages;
}

std::string DevToolsBrowser::TargetOfSession(const std::string& session) const {
    for (const auto& [target, known] : sessions_)
        if (known == session) return target;
    return {};
}

void DevToolsBrowser::Service() {
    // A page that waits on a dialog stops everything else it does: answered first.
    while (pipe_ && !dialogs_.empty()) {
        const Dialog dialog = dialogs_.front();
        dialogs_.erase(dialogs_.begin());
        answeredDialogs_.push_back(dialog.message);
        try {
            Call("Page.handleJavaScriptDialog", {{"accept", true}, {"promptText", ""}}, dialog.session);
        } catch (const DevToolsError&) {
            // Answered or closed meanwhile.
        }
    }
    while (pipe_ && !attached_.empty()) {
        const Attached window = attached_.front();
        attached_.erase(attached_.begin());
        SetUpWindow(window);
    }
    while (pipe_ && !held_.empty()) {
        const HeldAnswer held = held_.front();
        held_.erase(held_.begin());
        ReadHeldAnswer(held);
    }
    FinishSetUps();
}

void DevToolsBrowser::SetUpWindow(const Attached& window) {
    // Sent together and not waited for: a window in a process of its own
    // answers nothing until the last command lets it start, and its first
    // document, held by the browser, needs this program meanwhile.
    std::vector<DevToolsPipe::Command> commands;
    const bool page = sessions_.count(window.target) && sessions_[window.target] == window.session;
    if (page) {
        commands.push_back({"Page.enable", json::object(), window.session});
        commands.push_back({"Page.setLifecycleEventsEnabled", {{"enabled", true}}, window.session});
        if (!userAgent_.empty()) commands.push_back({"Emulation.setUserAgentOverride", {{"userAgent", userAgent_}}, window.session});
        // A window a page opens (a report) has its document held until its bytes are read.
        if (window.popup)
            commands.push_back({"Fetch.enable",
                                {{"patterns", json::array({{{"urlPattern", "*"}, {"resourceType", "Document"}, {"requestStage", "Response"}}})}},
                                window.session});
    }
    commands.push_back({"Runtime.runIfWaitingForDebugger", json::object(), window.session});
    const std::shared_ptr<DevToolsPipe> pipe = pipe_;
    try {
        starting_.push_back({window.target, window.session, page, pipe->Send(commands)});
    } catch (const BrowserGone&) {
        if (pipe_ == pipe) EndSession();
    }
}

void DevToolsBrowser::FinishSetUps() {
    for (auto starting = starting_.begin(); pipe_ && starting != starting_.end();) {
        bool answered = true;
        for (int& id : starting->commands) {
            if (id < 0) continue;
            if (const std::optional<json> answer = pipe_->TakeAnswer(id)) {
                starting->failed = starting->failed || answer->contains("error");  // closed meanwhile
                id = -1;
            } else {
                answered = false;
            }
        }
        if (!answered) {
            ++starting;
            continue;
        }
        if (!starting->failed) {
            if (starting->page) pageEvents_.insert(starting->session);
            if (sessions_.count(starting->target)) ready_.insert(starting->target);
        }
        starting = starting_.erase(starting);
    }
}

void DevToolsBrowser::WatchPage(const std::string& session) {
    if (pageEvents_.count(session)) return;
    Call("Page.enable", json::object(), session);
    Call("Page.setLifecycleEventsEnabled", {{"enabled", true}}, session);
    if (!userAgent_.empty()) Call("Emulation.setUserAgentOverride", {{"userAgent", userAgent_}}, session);
    pageEvents_.insert(session);
}

void DevToolsBrowser::ReadHeldAnswer(const HeldAnswer& held) {
    try {
        const std::string type = HeaderValue(held.headers, "content-type");
        if (held.status != 200 || type.rfind("text/html", 0) == 0) {
            Call("Fetch.continueRequest", {{"requestId", held.request}}, held.session);
            return;
        }
        const std::string target = TargetOfSession(held.session);
        // A report over the bound is not read into the program: the window shows it, nothing more.
        const std::string declared = HeaderValue(held.headers, "content-length");
        unsigned long long length = 0;
        std::from_chars(declared.data(), declared.data() + declared.size(), length);
        if (length > devtools::kMaxReportBytes) {
            refusedReports_[target] = devtools::kReportTooLargeMessage;
            Call("Fetch.continueRequest", {{"requestId", held.request}}, held.session);
            return;
        }
        const json body = Call("Fetch.getResponseBody", {{"requestId", held.request}}, held.session);
        const std::string raw = devtools::Text(body, "body");
        const bool encoded = body.contains("base64Encoded") && body["base64Encoded"].is_boolean() &&
                             body["base64Encoded"].get<bool>();
        try {
            std::string bytes = encoded ? devtools::ReportBytesOf(json(raw)) : raw;
            if (bytes.size() > devtools::kMaxReportBytes) throw BrowserError(devtools::kReportTooLargeMessage);
            bytes_[target] = std::move(bytes);
        } catch (const BrowserError& error) {
            // Garbled bytes are not read, and the report's wait says so.
            if (error.what() == devtools::kReportTooLargeMessage) refusedReports_[target] = error.what();
        }
        Call("Fetch.fulfillRequest",
             {{"requestId", held.request}, {"responseCode", held.status}, {"responseHeaders", held.headers},
              {"body", encoded ? raw : EncodeBase64(raw)}},
             held.session);
    } catch (const DevToolsError&) {
        // The window closed meanwhile.
    }
}

void DevToolsBrowser::AwaitChange(uint32_t milliseconds) {
    if (!HasApplication()) return PumpDelay(milliseconds);
    Service();
    const uint64_t seen = changes_;
    WaitFor([&] { return changes_ != seen; }, static_cast<int>(milliseconds));
}

std::optional<std::string> DevToolsBrowser::LoadFailure(const std::string& window) {
    const auto failed = failed_.find(window);
    if (failed == failed_.end()) return std::nullopt;
    const std::string address = WithoutQuery(failed->second);
    std::string code;
    try {
        code = devtools::StringOf(Evaluate(window, scripts::kErrorCode));
    } catch (const std::exception&) {
    }
    return (code.empty() ? std::string("the page could not be loaded") : code) + " (" + address + ")";
}

std::string DevToolsBrowser::Screenshot(const std::string& window) {
    try {
        Evaluate(window, scripts::kClearPasswords);
    } catch (const DevToolsError&) {
        // A page that runs no script (a PDF) has no password field either.
    } catch (const BrowserError&) {
    }
    // A headless browser paints only the window in front.
    if (config_.headless) Call("Page.bringToFront", json::object(), SessionOf(window), kScreenshotMs);
    const json shot = Call("Page.captureScreenshot", {{"format", "png"}}, SessionOf(window), kScreenshotMs);
    return devtools::ReportBytesOf(devtools::Member(shot, "data", "no screenshot"));
}

std::string DevToolsBrowser::PageWithoutValues(const std::string& window) {
    return devtools::StringOf(Evaluate(window, scripts::kPageWithoutValues));
}

bool DevToolsBrowser::IsPage(const std::string& id) const {
    return std::any_of(targets_.begin(), targets_.end(), [&](const Target& t) { return t.id == id && t.type == "page"; });
}

std::vector<OpenWindow> DevToolsBrowser::Windows() {
    std::vector<OpenWindow> windows;
    for (Target& page : Pages())
        if (!page.url.empty()) windows.push_back({std::move(page.id), std::move(page.url)});
    return windows;
}

std::vector<std::string> DevToolsBrowser::OpeningWindows() {
    Pages();
    std::vector<std::string> opening;
    for (const Target& target : targets_)
        if (target.type == "page" && (!ready_.count(target.id) || target.url.empty())) opening.push_back(target.id);
    return opening;
}

std::string DevToolsBrowser::SessionOf(const std::string& window) {
    if (auto known = sessions_.find(window); known != sessions_.end()) return known->second;
    const std::string session = devtools::SessionIdOf(Call("Target.attachToTarget", {{"targetId", window}, {"flatten", true}}));
    sessions_[window] = session;
    ready_.insert(window);
    return session;
}

json DevToolsBrowser::Evaluate(const std::string& window, const std::string& body, const json& arguments) {
    const std::string expression = "(function () {" + body + "\n}).apply(null, " +
                                   arguments.dump(-1, ' ', false, json::error_handler_t::replace) + ")";
    return devtools::EvaluatedValue(Call("Runtime.evaluate",
                                         {{"expression", expression}, {"returnByValue", true}, {"awaitPromise", true}},
                                         SessionOf(window)));
}

json DevToolsBrowser::Script(const std::string& window, const char* body, const json& arguments) {
    return Evaluate(window, body, arguments);
}

json DevToolsBrowser::OnElement(const ElementRef& element, const char* body, json extra) {
    json arguments = {element.frame, element.index, element.document};
    if (!extra.is_null()) arguments.push_back(std::move(extra));
    return Script(element.window, body, arguments);
}

int DevToolsBrowser::FrameCount(const DocumentRef& document) {
    return devtools::IntOf(Script(document.window, scripts::kFrameCount, json::array()));
}

int DevToolsBrowser::AllFrameCount(const DocumentRef& document) {
    return devtools::IntOf(Script(document.window, scripts::kAllFrameCount, json::array()));
}

bool DevToolsBrowser::DocumentComplete(const std::string& window) {
    return devtools::BoolOf(Script(window, scripts::kComplete, json::array()));
}

std::string DevToolsBrowser::PageText(const std::string& window) {
    return devtools::StringOf(Script(window, scripts::kPageText, json::array()));
}

std::vector<std::string> DevToolsBrowser::TakeDialogs() {
    if (HasApplication()) Service();
    return std::exchange(answeredDialogs_, {});
}

Browser::TopSearch DevToolsBrowser::SearchTopDocument(const DocumentRef& document, std::string_view key, MatchMode mode) {
    auto [frames, element] =
        devtools::TopSearchOf(document, Script(document.window, scripts::kSearchTop, {-1, key, static_cast<int>(mode)}));
    return {frames, std::move(element)};
}

std::optional<ElementRef> DevToolsBrowser::SearchDocument(const DocumentRef& document, int frame, std::string_view key,
                                                          MatchMode mode) {
    const json found = Script(document.window, scripts::kSearch, {frame, key, static_cast<int>(mode)});
    if (found.is_null()) return std::nullopt;
    return devtools::FoundElement(document, frame, found);
}

std::vector<ElementFields> DevToolsBrowser::DocumentElements(const DocumentRef& document, int frame) {
    return devtools::ElementsOf(document, frame, Script(document.window, scripts::kElements, {frame}));
}

void DevToolsBrowser::SetValue(const ElementRef& element, std::string_view text) {
    OnElement(element, scripts::kSetValue, std::string(text));
}

void DevToolsBrowser::Click(const ElementRef& element) { OnElement(element, scripts::kClick); }

bool DevToolsBrowser::IsChecked(const ElementRef& element) { return devtools::BoolOf(OnElement(element, scripts::kChecked)); }

std::optional<std::string> DevToolsBrowser::Attribute(const ElementRef& element, std::string_view name) {
    return devtools::OptionalStringOf(OnElement(element, scripts::kAttribute, std::string(name)));
}

std::string DevToolsBrowser::Id(const ElementRef& element) { return devtools::StringOf(OnElement(element, scripts::kId)); }

void DevToolsBrowser::SetSelectedIndex(const ElementRef& list, int index) {
    OnElement(list, scripts::kSetSelectedIndex, index);
}

void DevToolsBrowser::FireChange(const ElementRef& list) { OnElement(list, scripts::kFireChange); }

std::vector<std::string> DevToolsBrowser::OptionTexts(const ElementRef& list) {
    return devtools::StringsOf(OnElement(list, scripts::kOptionTexts));
}

std::optional<int> DevToolsBrowser::ApplicationWindowId() {
    std::string window = applicationWindow_;
    if (!IsPage(window)) {
        const std::vector<Target> pages = Pages();
        if (pages.empty()) return std::nullopt;
        window = pages.front().id;
    }
    return devtools::WindowIdOf(Call("Browser.getWindowForTarget", {{"targetId", window}}));
}

void DevToolsBrowser::PlaceBrowserWindow(ScreenRect place) {
    if (!HasApplication() || place.empty()) return;
    const std::optional<int> windowId = ApplicationWindowId();
    if (!windowId) return;
    // A maximised or minimised window takes no position: it is made normal first.
    Call("Browser.setWindowBounds", {{"windowId", *windowId}, {"bounds", {{"windowState", "normal"}}}});
    // Placed, not activated: the focus stays with the program.
    Call("Browser.setWindowBounds",
         {{"windowId", *windowId},
          {"bounds", {{"left", place.left}, {"top", place.top}, {"width", place.width}, {"height", place.height}}}});
}

void DevToolsBrowser::MinimiseBrowserWindow() {
    if (!HasApplication()) return;
    const std::optional<int> windowId = ApplicationWindowId();
    if (!windowId) return;
    Call("Browser.setWindowBounds", {{"windowId", *windowId}, {"bounds", {{"windowState", "minimized"}}}});
}

void DevToolsBrowser::Navigate(const BrowserRef& browser, std::string_view address, bool bypassCache) {
    const std::string session = SessionOf(browser.window);
    WatchPage(session);
    // The page must come from the portal, not from the browser's cache.
    if (bypassCache && !networkOn_.count(session)) {
        Call("Network.enable", json::object(), session);
        networkOn_.insert(session);
    }
    if (networkOn_.count(session)) Call("Network.setCacheDisabled", {{"cacheDisabled", bypassCache}}, session);

    const json navigation = Call("Page.navigate", {{"url", std::string(address)}}, session);
    const std::string error = devtools::Text(navigation, "errorText");
    // An aborted load is a download or a page replaced at once, not a failure.
    if (!error.empty() && error != "net::ERR_ABORTED")
        throw PortalUnreachable(error + " (" + WithoutQuery(std::string(address)) + ")");
    const std::string loader = devtools::Text(navigation, "loaderId");
    if (loader.empty() || !error.empty()) return;  // moved within the same document
    // Back once the new document is parsed, as a person would see it; a slow page is left to the polling that follows.
    WaitFor([&] { return std::find(loaded_.begin(), loaded_.end(), loader) != loaded_.end(); }, kLoadMs);
}

std::string DevToolsBrowser::DocumentUrl(const DocumentRef& document) {
    return devtools::StringOf(Script(document.window, "return location.href;", json::array()));
}

std::string DevToolsBrowser::DocumentTitle(const DocumentRef& document) {
    return devtools::StringOf(Script(document.window, "return document.title;", json::array()));
}

std::optional<std::string> DevToolsBrowser::FindWindowByTitle(std::string_view title) {
    std::optional<std::string> found;
    for (const Target& page : Pages())
        if (page.title == title) found = page.id;
    return found;
}

void DevToolsBrowser::CloseWindow(const std::string& handle) {
    if (!HasApplication() || !IsPage(handle)) return;
    try {
        Call("Target.closeTarget", {{"targetId", handle}});
        // Gone from the list before this returns, as a closed window is.
        WaitFor([&] { return !IsPage(handle); }, kCloseMs);
    } catch (const BrowserGone&) {
        return;  // the last window closed the browser
    } catch (const DevToolsError&) {
        // Closed meanwhile.
    }
    Pages();  // which ends the application when that was the last window
}

std::string DevToolsBrowser::DocumentBytes(const DocumentRef& document) {
    Pages();  // reads what has arrived
    if (const auto refused = refusedReports_.find(document.window); refused != refusedReports_.end())
        throw ReportTooLarge(refused->second);
    const auto bytes = bytes_.find(document.window);
    return bytes == bytes_.end() ? std::string() : bytes->second;
}

}  // namespace skartina
