#include "browser/DevToolsBrowser.h"

#include "browser/PageScripts.h"

#include <fcntl.h>
#include <openssl/evp.h>
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

ElementRef ElementAt(const DocumentRef& document, int frame, const json& found) {
    return {document.window, frame, found.at(0).get<int>(), found.at(1).get<std::string>()};
}

std::string DecodeBase64(const std::string& text) {
    if (text.size() % 4 != 0) throw BrowserError("the page returned its bytes garbled");
    std::string bytes(text.size() / 4 * 3, '\0');
    const int length = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(bytes.data()),
                                       reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
    if (length < 0) throw BrowserError("the page returned its bytes garbled");
    // The decoder counts the padding as bytes.
    size_t padding = 0;
    for (size_t i = text.size(); i > 0 && text[i - 1] == '=' && padding < 2; --i) ++padding;
    bytes.resize(static_cast<size_t>(length) - padding);
    return bytes;
}

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
    // database goes into the profile, so it goes with it.
    options.environment = {"CHROME_CONFIG_HOME=" + (profile_->path() / "config").string()};
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
    const std::string method = event.value("method", "");
    const json& params = event.contains("params") ? event["params"] : json::object();
    if (method == "Target.targetCreated" || method == "Target.targetInfoChanged") {
        const json& info = params.at("targetInfo");
        Target target{info.value("targetId", ""), info.value("type", ""), info.value("url", ""), info.value("title", "")};
        auto known = std::find_if(targets_.begin(), targets_.end(), [&](const Target& t) { return t.id == target.id; });
        if (known == targets_.end())
            targets_.push_back(std::move(target));
        else
            *known = std::move(target);
    } else if (method == "Target.targetDestroyed") {
        const std::string id = params.value("targetId", "");
        std::erase_if(targets_, [&](const Target& t) { return t.id == id; });
        sessions_.erase(id);
    } else if (method == "Target.detachedFromTarget") {
        sessions_.erase(params.value("targetId", ""));
    } else if (method == "Page.lifecycleEvent" && params.value("name", "") == "DOMContentLoaded") {
        loaded_.push_back(params.value("loaderId", ""));
        if (loaded_.size() > kLoadsKept) loaded_.pop_front();
    }
}

std::vector<DevToolsBrowser::Target> DevToolsBrowser::Pages() {
    if (!HasApplication()) return {};
    json infos;
    try {
        infos = Call("Target.getTargets").at("targetInfos");
    } catch (const BrowserGone&) {
        return {};  // the browser went away: the application is over
    }
    // The answer is the truth; the events kept the order in which targets appeared.
    std::vector<Target> now;
    for (const json& info : infos)
        now.push_back({info.value("targetId", ""), info.value("type", ""), info.value("url", ""), info.value("title", "")});
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
    const std::string session = Call("Target.attachToTarget", {{"targetId", window}, {"flatten", true}}).at("sessionId");
    sessions_[window] = session;
    return session;
}

json DevToolsBrowser::Evaluate(const std::string& window, const std::string& body, const json& arguments) {
    const std::string expression = "(function () {" + body + "\n}).apply(null, " +
                                   arguments.dump(-1, ' ', false, json::error_handler_t::replace) + ")";
    const json answer = Call("Runtime.evaluate",
                             {{"expression", expression}, {"returnByValue", true}, {"awaitPromise", true}},
                             SessionOf(window));
    if (answer.contains("exceptionDetails")) {
        const json& details = answer["exceptionDetails"];
        std::string text = details.value("text", "the page's script failed");
        if (details.contains("exception") && details["exception"].contains("description"))
            text = details["exception"]["description"].get<std::string>();
        throw BrowserError(text.substr(0, text.find('\n')));
    }
    return answer.at("result").value("value", json());
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
    return Script(document.window, scripts::kFrameCount, json::array()).get<int>();
}

Browser::TopSearch DevToolsBrowser::SearchTopDocument(const DocumentRef& document, std::string_view key, MatchMode mode) {
    const json answer = Script(document.window, scripts::kSearchTop, {-1, key, static_cast<int>(mode)});
    TopSearch top{answer.at(0).get<int>(), std::nullopt};
    if (!answer.at(1).is_null()) top.element = ElementAt(document, -1, answer.at(1));
    return top;
}

std::optional<ElementRef> DevToolsBrowser::SearchDocument(const DocumentRef& document, int frame, std::string_view key,
                                                          MatchMode mode) {
    const json found = Script(document.window, scripts::kSearch, {frame, key, static_cast<int>(mode)});
    if (found.is_null()) return std::nullopt;
    return ElementAt(document, frame, found);
}

std::vector<ElementFields> DevToolsBrowser::DocumentElements(const DocumentRef& document, int frame) {
    const json walked = Script(document.window, scripts::kElements, {frame});
    const std::string identity = walked.at(0).get<std::string>();
    std::vector<ElementFields> fields;
    int index = 0;
    for (const json& row : walked.at(1)) {
        fields.push_back({{document.window, frame, index++, identity},
                          row.at(0).get<std::string>(),
                          row.at(1).get<std::string>(),
                          row.at(2).get<std::string>(),
                          row.at(3).get<std::string>(),
                          row.at(4).get<bool>()});
    }
    return fields;
}

void DevToolsBrowser::SetValue(const ElementRef& element, std::string_view text) {
    OnElement(element, scripts::kSetValue, std::string(text));
}

void DevToolsBrowser::Click(const ElementRef& element) { OnElement(element, scripts::kClick); }

bool DevToolsBrowser::IsChecked(const ElementRef& element) { return OnElement(element, scripts::kChecked).get<bool>(); }

std::optional<std::string> DevToolsBrowser::Attribute(const ElementRef& element, std::string_view name) {
    const json value = OnElement(element, scripts::kAttribute, std::string(name));
    if (value.is_null()) return std::nullopt;
    return value.get<std::string>();
}

std::string DevToolsBrowser::Id(const ElementRef& element) { return OnElement(element, scripts::kId).get<std::string>(); }

void DevToolsBrowser::SetSelectedIndex(const ElementRef& list, int index) {
    OnElement(list, scripts::kSetSelectedIndex, index);
}

void DevToolsBrowser::FireChange(const ElementRef& list) { OnElement(list, scripts::kFireChange); }

std::vector<std::string> DevToolsBrowser::OptionTexts(const ElementRef& list) {
    return OnElement(list, scripts::kOptionTexts).get<std::vector<std::string>>();
}

void DevToolsBrowser::PlaceBrowserWindow(ScreenPoint anchor) {
    if (!HasApplication()) return;
    std::string window = applicationWindow_;
    if (!IsPage(window)) {
        const std::vector<Target> pages = Pages();
        if (pages.empty()) return;
        window = pages.front().id;
    }
    const int windowId = Call("Browser.getWindowForTarget", {{"targetId", window}}).at("windowId");
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
    const std::string error = navigation.value("errorText", "");
    // An aborted load is a download or a page replaced at once, not a failure.
    if (!error.empty() && error != "net::ERR_ABORTED") throw BrowserError("the page " + std::string(address) + " could not be opened: " + error);
    const std::string loader = navigation.value("loaderId", "");
    if (loader.empty() || !error.empty()) return;  // moved within the same document
    // Back once the new document is parsed, as a person would see it; a slow page is left to the polling that follows.
    WaitFor([&] { return std::find(loaded_.begin(), loaded_.end(), loader) != loaded_.end(); }, kLoadMs);
}

std::string DevToolsBrowser::DocumentUrl(const DocumentRef& document) {
    return Script(document.window, "return location.href;", json::array()).get<std::string>();
}

std::string DevToolsBrowser::DocumentTitle(const DocumentRef& document) {
    return Script(document.window, "return document.title;", json::array()).get<std::string>();
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
    return DecodeBase64(Script(document.window, scripts::kFetchDocumentBytes, json::array()).get<std::string>());
}

}  // namespace skartina
