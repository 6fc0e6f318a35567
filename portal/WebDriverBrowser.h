#pragma once
// The browser as Chromium driven through chromedriver (W3C WebDriver). The
// browser application is one WebDriver session with a window of its own; the
// window list is the session's windows. chromedriver runs as a child on a free
// loopback port from the first retrieval until this object ends.

#include "portal/Browser.h"
#include "portal/BrowserConfig.h"
#include "portal/ChildProcess.h"
#include "portal/WebDriverClient.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace skartina {

class WebDriverBrowser : public Browser {
public:
    WebDriverBrowser(PumpClock& clock, BrowserConfig config);
    ~WebDriverBrowser() override;

    bool HasApplication() const override { return !session_.empty(); }
    BrowserRef OpenApplication() override;
    void PlaceBrowserWindow(ScreenPoint anchor) override;
    void BrowserQuit() override;

    std::vector<OpenWindow> Windows() override;

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
    std::string DocumentBytes(const DocumentRef& document) override;

    // A raw command of the session ("GET", "/url"), for diagnostics and measurements.
    nlohmann::json Command(const std::string& method, const std::string& path, const nlohmann::json& body = {});

protected:
    int FrameCount(const DocumentRef& document) override;
    std::optional<ElementRef> SearchDocument(const DocumentRef& document, int frame, std::string_view key,
                                             MatchMode mode) override;
    std::vector<ElementFields> DocumentElements(const DocumentRef& document, int frame) override;

private:
    struct PageTarget {
        std::string handle, url, title;
    };

    void StartDriver();
    nlohmann::json NewSessionRequest() const;
    void RequireSession() const;
    nlohmann::json Run(const std::string& method, const std::string& path, const nlohmann::json& body);
    nlohmann::json Script(const std::string& window, const char* script, nlohmann::json arguments);
    nlohmann::json OnElement(const ElementRef& element, const char* script, nlohmann::json extra = {});
    void SwitchTo(const std::string& window);
    std::vector<PageTarget> Pages();

    BrowserConfig config_;
    std::unique_ptr<ChildProcess> driver_;
    std::unique_ptr<WebDriverClient> client_;
    std::string session_;
    std::string applicationWindow_;
    std::string current_;                // the window commands go to
    std::vector<std::string> order_;     // handles in the order the windows appeared
    std::filesystem::path profile_;      // the session's fresh Chromium profile
};

}  // namespace skartina
