#include "portal/WebDriverBrowser.h"

#include "portal/PageScripts.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace skartina {
namespace {

using nlohmann::json;

// The browser is gone (closed by the user, or crashed), not merely a command refused.
bool SessionLost(const WebDriverError& error) {
    const std::string text = error.what();
    return error.error() == "invalid session id" || text.find("not reachable") != std::string::npos ||
           text.find("disconnected") != std::string::npos;
}

std::filesystem::path FreshProfileFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "skartina-chromium-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw BrowserError("no folder for the browser profile could be made");
    return pattern;
}

ElementRef ElementAt(const DocumentRef& document, int frame, const json& found) {
    return {document.window, frame, found.at(0).get<int>(), found.at(1).get<std::string>()};
}

}  // namespace

WebDriverBrowser::WebDriverBrowser(PumpClock& clock, BrowserConfig config) : Browser(clock), config_(std::move(config)) {}

WebDriverBrowser::~WebDriverBrowser() {
    BrowserQuit();
    driver_.reset();
}

void WebDriverBrowser::StartDriver() {
    if (driver_ && driver_->Running()) return;
    const int port = FreeLoopbackPort();
    driver_ = std::make_unique<ChildProcess>(config_.chromedriver,
                                             std::vector<std::string>{"--port=" + std::to_string(port), "--silent"});
    client_ = std::make_unique<WebDriverClient>("http://127.0.0.1:" + std::to_string(port));
    // chromedriver answers its status once it listens.
    for (int attempt = 0; attempt < 200; ++attempt) {
        try {
            if (client_->Get("/status").value("ready", false)) return;
        } catch (const BrowserError&) {
        }
        if (!driver_->Running()) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    driver_.reset();
    client_.reset();
    throw BrowserError("chromedriver (" + config_.chromedriver + ") did not start");
}

json WebDriverBrowser::NewSessionRequest() const {
    json args = {"--no-first-run", "--disable-gpu", "--disable-quic", "--disable-background-networking",
                 "--disable-component-update", "--disable-sync", "--user-data-dir=" + profile_.string()};
    if (config_.headless) args.push_back("--headless=new");
    // Chromium refuses to run as root inside its sandbox.
    if (geteuid() == 0) args.push_back("--no-sandbox");

    // Pop-ups are allowed for the portal's hosts only, not for every page.
    json popups = json::object();
    for (const std::string& host : config_.popupHosts) popups["https://" + host + ",*"] = {{"setting", 1}};

    json options = {{"binary", config_.chromium},
                    {"args", args},
                    {"excludeSwitches", {"disable-popup-blocking", "enable-automation"}},
                    {"prefs", {{"profile.content_settings.exceptions.popups", popups}}}};
    return {{"capabilities",
             {{"alwaysMatch",
               {{"browserName", "chrome"},
                {"acceptInsecureCerts", config_.acceptInsecureCerts},
                {"pageLoadStrategy", "eager"},
                {"goog:chromeOptions", options}}}}}};
}

BrowserRef WebDriverBrowser::OpenApplication() {
    if (HasApplication()) return {applicationWindow_};
    StartDriver();
    profile_ = FreshProfileFolder();
    try {
        const json created = client_->Post("/session", NewSessionRequest());
        session_ = created.at("sessionId").get<std::string>();
        applicationWindow_ = Run("GET", "/window", {}).get<std::string>();
    } catch (...) {
        BrowserQuit();
        throw;
    }
    current_ = applicationWindow_;
    order_ = {applicationWindow_};
    return {applicationWindow_};
}

void WebDriverBrowser::PlaceBrowserWindow(ScreenPoint anchor) {
    if (!HasApplication()) return;
    SwitchTo(applicationWindow_);
    Run("POST", "/window/rect", {{"x", anchor.left + 100}, {"y", anchor.top + 110}, {"width", 750}, {"height", 500}});
}

void WebDriverBrowser::BrowserQuit() {
    if (!session_.empty() && client_) {
        try {
            client_->Delete("/session/" + session_);
        } catch (const std::exception&) {
            // The browser may be gone already; either way the session is over.
        }
    }
    session_.clear();
    applicationWindow_.clear();
    current_.clear();
    order_.clear();
    if (!profile_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(profile_, ignored);
        profile_.clear();
    }
}

void WebDriverBrowser::RequireSession() const {
    if (session_.empty()) throw BrowserError("the browser is not open");
}

json WebDriverBrowser::Run(const std::string& method, const std::string& path, const json& body) {
    RequireSession();
    const std::string full = "/session/" + session_ + path;
    try {
        if (method == "GET") return client_->Get(full);
        if (method == "DELETE") return client_->Delete(full);
        return client_->Post(full, body.is_null() ? json::object() : body);
    } catch (const WebDriverError& error) {
        if (SessionLost(error)) BrowserQuit();
        throw;
    } catch (const BrowserError&) {
        BrowserQuit();  // chromedriver itself is gone
        throw;
    }
}

json WebDriverBrowser::Command(const std::string& method, const std::string& path, const json& body) {
    return Run(method, path, body);
}

void WebDriverBrowser::SwitchTo(const std::string& window) {
    if (window == current_) return;
    Run("POST", "/window", {{"handle", window}});
    current_ = window;
}

json WebDriverBrowser::Script(const std::string& window, const char* script, json arguments) {
    SwitchTo(window);
    return Run("POST", "/execute/sync", {{"script", script}, {"args", std::move(arguments)}});
}

json WebDriverBrowser::OnElement(const ElementRef& element, const char* script, json extra) {
    json arguments = {element.frame, element.index, element.document};
    if (!extra.is_null()) arguments.push_back(std::move(extra));
    return Script(element.window, script, std::move(arguments));
}

std::vector<WebDriverBrowser::PageTarget> WebDriverBrowser::Pages() {
    if (!HasApplication()) return {};
    std::vector<std::string> handles;
    try {
        handles = Run("GET", "/window/handles", {}).get<std::vector<std::string>>();
    } catch (const BrowserError&) {
        if (!HasApplication()) return {};  // the browser went away: the application is over
        throw;
    }
    if (handles.empty()) {
        BrowserQuit();  // the user closed the last window
        return {};
    }
    // Keep the order in which windows appeared: the newest is met last.
    std::erase_if(order_, [&](const std::string& h) { return std::find(handles.begin(), handles.end(), h) == handles.end(); });
    for (const std::string& h : handles)
        if (std::find(order_.begin(), order_.end(), h) == order_.end()) order_.push_back(h);
    if (std::find(handles.begin(), handles.end(), current_) == handles.end()) {
        current_.clear();
        SwitchTo(order_.back());
    }

    // One call for every window's address and title; a window's handle is its target id.
    const json targets = Run("POST", "/goog/cdp/execute", {{"cmd", "Target.getTargets"}, {"params", json::object()}});
    std::vector<PageTarget> pages;
    for (const std::string& h : order_) {
        for (const json& target : targets.at("targetInfos")) {
            if (target.value("targetId", "") != h || target.value("type", "") != "page") continue;
            pages.push_back({h, target.value("url", ""), target.value("title", "")});
        }
    }
    return pages;
}

std::vector<OpenWindow> WebDriverBrowser::Windows() {
    std::vector<OpenWindow> windows;
    for (PageTarget& page : Pages())
        if (!page.url.empty()) windows.push_back({std::move(page.handle), std::move(page.url)});
    return windows;
}

int WebDriverBrowser::FrameCount(const DocumentRef& document) {
    return Script(document.window, scripts::kFrameCount, json::array()).get<int>();
}

std::optional<ElementRef> WebDriverBrowser::SearchDocument(const DocumentRef& document, int frame, std::string_view key,
                                                           MatchMode mode) {
    const json found = Script(document.window, scripts::kSearch, {frame, key, static_cast<int>(mode)});
    if (found.is_null()) return std::nullopt;
    return ElementAt(document, frame, found);
}

std::vector<ElementFields> WebDriverBrowser::DocumentElements(const DocumentRef& document, int frame) {
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

void WebDriverBrowser::SetValue(const ElementRef& element, std::string_view text) {
    OnElement(element, scripts::kSetValue, std::string(text));
}

void WebDriverBrowser::Click(const ElementRef& element) { OnElement(element, scripts::kClick); }

bool WebDriverBrowser::IsChecked(const ElementRef& element) { return OnElement(element, scripts::kChecked).get<bool>(); }

std::optional<std::string> WebDriverBrowser::Attribute(const ElementRef& element, std::string_view name) {
    const json value = OnElement(element, scripts::kAttribute, std::string(name));
    if (value.is_null()) return std::nullopt;
    return value.get<std::string>();
}

std::string WebDriverBrowser::Id(const ElementRef& element) { return OnElement(element, scripts::kId).get<std::string>(); }

void WebDriverBrowser::SetSelectedIndex(const ElementRef& list, int index) {
    OnElement(list, scripts::kSetSelectedIndex, index);
}

void WebDriverBrowser::FireChange(const ElementRef& list) { OnElement(list, scripts::kFireChange); }

std::vector<std::string> WebDriverBrowser::OptionTexts(const ElementRef& list) {
    return OnElement(list, scripts::kOptionTexts).get<std::vector<std::string>>();
}

void WebDriverBrowser::Navigate(const BrowserRef& browser, std::string_view address, bool bypassCache) {
    SwitchTo(browser.window);
    // The page must come from the portal, not from the browser's cache.
    Run("POST", "/goog/cdp/execute", {{"cmd", "Network.setCacheDisabled"}, {"params", {{"cacheDisabled", bypassCache}}}});
    Run("POST", "/url", {{"url", std::string(address)}});
}

std::string WebDriverBrowser::DocumentUrl(const DocumentRef& document) {
    SwitchTo(document.window);
    return Run("GET", "/url", {}).get<std::string>();
}

std::string WebDriverBrowser::DocumentTitle(const DocumentRef& document) {
    SwitchTo(document.window);
    return Run("GET", "/title", {}).get<std::string>();
}

std::optional<std::string> WebDriverBrowser::FindWindowByTitle(std::string_view title) {
    std::optional<std::string> found;
    for (const PageTarget& page : Pages())
        if (page.title == title) found = page.handle;
    return found;
}

void WebDriverBrowser::CloseWindow(const std::string& handle) {
    if (!HasApplication()) return;
    SwitchTo(handle);
    const json left = Run("DELETE", "/window", {});
    current_.clear();
    std::erase(order_, handle);
    if (left.empty()) {
        BrowserQuit();  // the last window: the browser has ended
        return;
    }
    // Commands need a window that still exists.
    SwitchTo(left.back().get<std::string>());
}

}  // namespace skartina
