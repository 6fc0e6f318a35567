// SPDX-License-Identifier: GPL-3.0-or-later
// One search of a long page for a named field: the one-script walk that
// WaitForElement uses against asking the browser about each element in turn,
// as a per-element automation interface would. Needs Chromium.

#include "browser/DevToolsBrowser.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

namespace skartina {
namespace {

constexpr int kFields = 2000;

struct Page {
    SteadyPumpClock clock;
    std::unique_ptr<DevToolsBrowser> browser;
    std::string window;
};

// A page of 2,000 amount fields, the one looked for last.
Page* OpenPage() {
    static std::unique_ptr<Page> page;
    if (page) return page.get();
    BrowserConfig config;
    if (!std::filesystem::exists(config.chromium)) return nullptr;
    config.headless = true;
    page = std::make_unique<Page>();
    page->browser = std::make_unique<DevToolsBrowser>(page->clock, config);
    std::string html = "data:text/html;charset=utf-8,<form>";
    for (int i = 1; i <= kFields; ++i) html += "<input name='n" + std::to_string(i) + "' value='1.234,56'>";
    html += "</form>";
    const BrowserRef window = page->browser->OpenApplication();
    page->browser->Navigate(window, html, false);
    page->window = window.window;
    return page.get();
}

// One polling pass: the window list, then one script for the page.
void BM_WaitForElementOnePass(benchmark::State& state) {
    Page* page = OpenPage();
    if (!page) return state.SkipWithError("chromium is not installed");
    for (auto _ : state) {
        const WindowFound found = page->browser->WaitForElement("data:text/html", "n" + std::to_string(kFields), MatchMode::Name);
        if (!found.found) return state.SkipWithError("the field was not found");
    }
}
BENCHMARK(BM_WaitForElementOnePass)->Unit(benchmark::kMillisecond);

// The window list alone: one round trip.
void BM_WindowList(benchmark::State& state) {
    Page* page = OpenPage();
    if (!page) return state.SkipWithError("chromium is not installed");
    for (auto _ : state) benchmark::DoNotOptimize(page->browser->Windows());
}
BENCHMARK(BM_WindowList)->Unit(benchmark::kMicrosecond);

void BM_OneCallPerElement(benchmark::State& state) {
    Page* page = OpenPage();
    if (!page) return state.SkipWithError("chromium is not installed");
    DevToolsBrowser& browser = *page->browser;
    const std::string wanted = "n" + std::to_string(kFields);
    for (auto _ : state) {
        browser.Windows();  // the same look at the window list as a pass
        const int count = browser.Evaluate(page->window, "return document.all.length;").get<int>();
        bool found = false;
        for (int i = 0; i < count && !found; ++i) {
            const nlohmann::json name = browser.Evaluate(page->window, "return document.all[arguments[0]].getAttribute('name');", {i});
            found = name.is_string() && name.get<std::string>() == wanted;
        }
        if (!found) return state.SkipWithError("the field was not found");
    }
}
BENCHMARK(BM_OneCallPerElement)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace skartina
