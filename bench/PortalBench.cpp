// One search of a long page for a named field: the one-script walk that
// WaitForElement uses against asking the browser about each element in turn,
// as a per-element automation interface would; Chromium over its DevTools
// pipe beside Chromium through chromedriver. Needs Chromium and chromedriver.

#include "portal/DevToolsBrowser.h"
#include "portal/WebDriverBrowser.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

namespace skartina {
namespace {

constexpr int kFields = 2000;

template <class B>
struct Page {
    SteadyPumpClock clock;
    std::unique_ptr<B> browser;
    std::string window;
};

// A page of 2,000 amount fields, the one looked for last.
template <class B>
Page<B>* OpenPage() {
    static std::unique_ptr<Page<B>> page;
    if (page) return page.get();
    BrowserConfig config;
    if (!std::filesystem::exists(config.chromium) || !std::filesystem::exists(config.chromedriver)) return nullptr;
    config.headless = true;
    page = std::make_unique<Page<B>>();
    page->browser = std::make_unique<B>(page->clock, config);
    std::string html = "data:text/html;charset=utf-8,<form>";
    for (int i = 1; i <= kFields; ++i) html += "<input name='n" + std::to_string(i) + "' value='1.234,56'>";
    html += "</form>";
    const BrowserRef window = page->browser->OpenApplication();
    page->browser->Navigate(window, html, false);
    page->window = window.window;
    return page.get();
}

nlohmann::json RunScript(Page<WebDriverBrowser>& page, const std::string& body, const nlohmann::json& arguments) {
    return page.browser->Command("POST", "/execute/sync", {{"script", body}, {"args", arguments}});
}

nlohmann::json RunScript(Page<DevToolsBrowser>& page, const std::string& body, const nlohmann::json& arguments) {
    return page.browser->Evaluate(page.window, body, arguments);
}

template <class B>
void BM_WaitForElementOnePass(benchmark::State& state) {
    Page<B>* page = OpenPage<B>();
    if (!page) return state.SkipWithError("chromium or chromedriver is not installed");
    for (auto _ : state) {
        const WindowFound found = page->browser->WaitForElement("data:text/html", "n" + std::to_string(kFields), MatchMode::Name);
        if (!found.found) return state.SkipWithError("the field was not found");
    }
}
BENCHMARK(BM_WaitForElementOnePass<DevToolsBrowser>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WaitForElementOnePass<WebDriverBrowser>)->Unit(benchmark::kMillisecond);

// The window list alone: the other part of every polling pass.
template <class B>
void BM_WindowList(benchmark::State& state) {
    Page<B>* page = OpenPage<B>();
    if (!page) return state.SkipWithError("chromium or chromedriver is not installed");
    for (auto _ : state) benchmark::DoNotOptimize(page->browser->Windows());
}
BENCHMARK(BM_WindowList<DevToolsBrowser>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WindowList<WebDriverBrowser>)->Unit(benchmark::kMicrosecond);

template <class B>
void BM_OneCallPerElement(benchmark::State& state) {
    Page<B>* page = OpenPage<B>();
    if (!page) return state.SkipWithError("chromium or chromedriver is not installed");
    const std::string wanted = "n" + std::to_string(kFields);
    for (auto _ : state) {
        page->browser->Windows();  // the same look at the window list as a pass
        const int count = RunScript(*page, "return document.all.length;", nlohmann::json::array()).template get<int>();
        bool found = false;
        for (int i = 0; i < count && !found; ++i) {
            const nlohmann::json name = RunScript(*page, "return document.all[arguments[0]].getAttribute('name');", {i});
            found = name.is_string() && name.template get<std::string>() == wanted;
        }
        if (!found) return state.SkipWithError("the field was not found");
    }
}
BENCHMARK(BM_OneCallPerElement<DevToolsBrowser>)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_OneCallPerElement<WebDriverBrowser>)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace skartina
