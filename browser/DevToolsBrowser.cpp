#include "browser/DevToolsBrowser.h"

#include "browser/BrowserEnvironment.h"
#include "browser/DevToolsAnswers.h"
#include "browser/PageScripts.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>
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
constexpr int kQuitMs = 2000;
constexpr size_t kLoadsKept = 64;

}  // namespace

DevToolsBrowser::DevToolsBrowser(PumpClock& clock, BrowserConfig config) : Browser(clock), config_(std::move(config)) {}

DevToolsBrowser::~DevToolsBrowser() { BrowserQuit(); }

std::vector<std::string> DevToolsBrowser::Arguments() const {
    std::vector<std::string> args = {"--remote-debugging-pipe",
                                     "--user-data-dir=" + profile_->path().string(),
                                     "--no-first-run",
                                     "--no-default-browser-check",
                                     "--disable-gpu",
                                     "--disable-quic",
                                     "--disable-background-networking",
                                     "--disable-component-update",
                                     "--disable-sync",
                                     "--disable-breakpad",
                                     "--disable-crash-reporter"};
    if (config_.headless) args.push_back("--headless=new");
    // Chromium refuses to run as root inside its sandbox.
    if (geteuid() == 0) args.push_back("--no-sandbox");
    args.push_back("about:blank");
    return args;
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

    Call("Target.setDiscoverTargets", {{"discover", true}});
    // Only for the simulated portal and its self-made certificate.
    if (config_.acceptInsecureCerts) Call("Security.setIgnoreCertificateErrors", {{"ignore", true}});
    if (!WaitFor([this] { return !Pages().empty(); }, kStartMs)) throw BrowserError("the browser opened no window");
    applicationWindow_ = Pages().front().id;
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
    // A browser whose pipe closes ends by itself, in its orderly way; the
    // user interface is not pumped meanwhile, for this runs as windows close.
    if (pipe_) pipe_->CloseToBrowser();
    pipe_.reset();
    if (process_) {
        for (int waited = 0; waited < kQuitMs && process_->Running(); waited += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        process_->Stop(kQuitMs);  // and whatever of its group is left
    }
    process_.reset();
    profile_.reset();
    applicationWindow_.clear();
    targets_.clear();
    sessions_.clear();
    pageEvents_.clear();
    networkOn_.clear();
    loaded_.clear();
}

json DevToolsBrowser::Call(const std::string& method, const json& params, const std::string& session) {
    if (!pipe_) throw BrowserError("the browser is not open");
    // Held here: a pump inside the call may end the application.
    const std::shared_ptr<DevToolsPipe> pipe = pipe_;
    try {
        return pipe->Call(method, params, session);
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
    // An event that is not what it should be is passed over: the target list
    // asked for next is the truth, and a load that is not seen is waited out.
    const std::string method = devtools::Text(event, "method");
    const json params = event.contains("params") && event["params"].is_object() ? event["params"] : json::object();
    if (method == "Target.targetCreated" || method == "Target.targetInfoChanged") {
        std::optional<devtools::TargetInfo> info =
            params.contains("targetInfo") ? devtools::TargetOf(params["targetInfo"]) : std::nullopt;
        if (!info) return;
        Target target{std::move(info->id), std::move(info->type), std::move(info->url), std::move(info->title)};
        auto known = std::find_if(targets_.begin(), targets_.end(), [&](const Target& t) { return t.id == target.id; });
        if (known == targets_.end())
            targets_.push_back(std::move(target));
        else
            *known = std::move(target);
    } else if (method == "Target.targetDestroyed") {
        const std::string id = devtools::Text(params, "targetId");
        std::erase_if(targets_, [&](const Target& t) { return t.id == id; });
        sessions_.erase(id);
    } else if (method == "Target.detachedFromTarget") {
        sessions_.erase(devtools::Text(params, "targetId"));
    } else if (method == "Page.lifecycleEvent" && devtools::Text(params, "name") == "DOMContentLoaded") {
        loaded_.push_back(devtools::Text(params, "loaderId"));
        if (loaded_.size() > kLoadsKept) loaded_.pop_front();
    }
}

std::vector<DevToolsBrowser::Target> DevToolsBrowser::Pages() {
    if (!HasApplication()) return {};
    std::vector<devtools::TargetInfo> infos;
    try {
        infos = devtools::TargetsOf(Call("Target.getTargets"));
    } catch (const BrowserGone&) {
        return {};  // the browser went away: the application is over
    }
    // The answer is the truth; the events kept the order in which targets appeared.
    std::vector<Target> now;
    for (devtools::TargetInfo& info : infos)
        now.push_back({std::move(info.id), std::move(info.type), std::move(info.url), std::move(info.title)});
    std::erase_if(targets_, [&](const Target& t) {
        return std::none_of(now.begin(), now.end(), [&](const Target& n) { return n.id == t.id; });
    });
    for (Target& target : now) {
        auto known = std::find_if(targets_.begin(), targets_.end(), [&](const Target& t) { return t.id == target.id; });
        if (known == targets_.end())
            targets_.push_back(std::move(target));
        else
            *known = std::move(target);
    }
    std::vector<Target> pages;
    std::copy_if(targets_.begin(), targets_.end(), std::back_inserter(pages), [](const Target& t) { return t.type == "page"; });
    if (pages.empty() && !applicationWindow_.empty()) BrowserQuit();  // the user closed the last window
    return pages;
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

std::string DevToolsBrowser::SessionOf(const std::string& window) {
    if (auto known = sessions_.find(window); known != sessions_.end()) return known->second;
    const std::string session = devtools::SessionIdOf(Call("Target.attachToTarget", {{"targetId", window}, {"flatten", true}}));
    sessions_[window] = session;
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

void DevToolsBrowser::PlaceBrowserWindow(ScreenPoint anchor) {
    if (!HasApplication()) return;
    std::string window = applicationWindow_;
    if (!IsPage(window)) {
        const std::vector<Target> pages = Pages();
        if (pages.empty()) return;
        window = pages.front().id;
    }
    const int windowId = devtools::WindowIdOf(Call("Browser.getWindowForTarget", {{"targetId", window}}));
    // A maximised or minimised window takes no position: it is made normal first.
    Call("Browser.setWindowBounds", {{"windowId", windowId}, {"bounds", {{"windowState", "normal"}}}});
    Call("Browser.setWindowBounds",
         {{"windowId", windowId},
          {"bounds", {{"left", anchor.left + 100}, {"top", anchor.top + 110}, {"width", 750}, {"height", 500}}}});
    Call("Target.activateTarget", {{"targetId", window}});
}

void DevToolsBrowser::Navigate(const BrowserRef& browser, std::string_view address, bool bypassCache) {
    const std::string session = SessionOf(browser.window);
    if (!pageEvents_.count(session)) {
        Call("Page.enable", json::object(), session);
        Call("Page.setLifecycleEventsEnabled", {{"enabled", true}}, session);
        pageEvents_.insert(session);
    }
    // The page must come from the portal, not from the browser's cache.
    if (bypassCache && !networkOn_.count(session)) {
        Call("Network.enable", json::object(), session);
        networkOn_.insert(session);
    }
    if (networkOn_.count(session)) Call("Network.setCacheDisabled", {{"cacheDisabled", bypassCache}}, session);

    const json navigation = Call("Page.navigate", {{"url", std::string(address)}}, session);
    const std::string error = devtools::Text(navigation, "errorText");
    // An aborted load is a download or a page replaced at once, not a failure.
    if (!error.empty() && error != "net::ERR_ABORTED") throw BrowserError("the page " + std::string(address) + " could not be opened: " + error);
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
    // Bounded in size and time where the bytes arrive, in the page, and again here.
    return devtools::ReportBytesOf(Script(document.window, scripts::kFetchDocumentBytes,
                                          {devtools::kMaxReportBytes, devtools::kReportReadMs}));
}

}  // namespace skartina
