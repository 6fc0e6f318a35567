// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A browser held in memory, for the tests of the portal logic: windows with
// addresses and documents of elements and frames, and a clock whose time
// moves only when the logic pumps.

#include "portal/Browser.h"

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace skartina::test {

class FakeClock : public PumpClock {
public:
    explicit FakeClock(uint64_t stepMs = 100) : step(stepMs) {}
    void Pump() override {
        ++pumps;
        now += step;
    }
    uint64_t NowMs() override { return now; }
    uint64_t now = 0;
    uint64_t step;
    int pumps = 0;
};

struct MemElement {
    std::string name;  // the "Name" attribute; empty: none
    std::string id;
    std::string type = "text";
    std::string value;
    bool checked = false;
    std::vector<std::string> options;
    int selectedIndex = -1;
    int clicks = 0;
    int changes = 0;
    // What a click does to the pages (submit a form, open a window).
    std::function<void()> onClick;
};

inline MemElement Named(std::string name, std::string value = "", std::string type = "text") {
    MemElement element;
    element.name = std::move(name);
    element.value = std::move(value);
    element.type = std::move(type);
    return element;
}

struct MemDocument {
    std::string title;
    std::vector<MemElement> all;
    std::vector<MemDocument> frames;
    std::string identity = "doc";  // a page that replaces another has another identity
    std::string text = {};         // what the page shows as text
};

struct MemWindow {
    std::string handle;
    std::string address;
    MemDocument document;
    std::string bytes = {};  // what fetching the address again gives
    bool loading = false;    // the page is still arriving
};

class MemoryBrowser : public Browser {
public:
    explicit MemoryBrowser(PumpClock& clock) : Browser(clock) {}

    std::vector<MemWindow> windows;
    bool application = false;
    // Fake milliseconds that every look at the window list costs.
    uint64_t listCostMs = 0;
    std::vector<std::string> closed;
    // Runs at every look at the window list, so that a test can change the pages during a wait.
    std::function<void()> onList;
    // Dialogs the pages opened, answered and not yet taken.
    std::vector<std::string> dialogs;
    // Runs whenever the logic hands the browser time to do its work (as
    // Chromium's connection is served then), so that a test can tell a wait
    // that looks after the browser from one that only sleeps.
    std::function<void()> onAwait;

    MemWindow& Window(const std::string& handle) {
        auto it = std::find_if(windows.begin(), windows.end(), [&](const MemWindow& w) { return w.handle == handle; });
        if (it == windows.end()) throw BrowserError("no such window: " + handle);
        return *it;
    }
    MemElement& Element(const ElementRef& ref) {
        return Doc({ref.window}, ref.frame).all.at(static_cast<size_t>(ref.index));
    }

    bool HasApplication() const override { return application; }
    BrowserRef OpenApplication() override {
        application = true;
        if (windows.empty()) windows.push_back({"app", "about:blank", {}});
        return {windows.front().handle};
    }
    void PlaceBrowserWindow(ScreenRect) override {}
    void BrowserQuit() override {
        application = false;
        windows.clear();
    }

    std::vector<OpenWindow> Windows() override {
        if (auto* fake = dynamic_cast<FakeClock*>(&clock())) fake->now += listCostMs;
        if (onList) onList();
        std::vector<OpenWindow> list;
        for (const MemWindow& w : windows)
            if (!w.address.empty()) list.push_back({w.handle, w.address});
        return list;
    }

    void SetValue(const ElementRef& e, std::string_view text) override { Element(e).value = text; }
    void Click(const ElementRef& e) override {
        MemElement& element = Element(e);
        ++element.clicks;
        if (element.onClick) {
            const auto action = element.onClick;  // the action may replace the page that holds the element
            action();
        }
    }
    bool IsChecked(const ElementRef& e) override { return Element(e).checked; }
    std::optional<std::string> Attribute(const ElementRef& e, std::string_view name) override {
        const MemElement& element = Element(e);
        if (name == "name" || name == "Name") return element.name.empty() ? std::nullopt : std::optional(element.name);
        if (name == "Type") return element.type;
        if (name == "VALUE") return element.value;
        return std::nullopt;
    }
    std::string Id(const ElementRef& e) override { return Element(e).id; }
    void SetSelectedIndex(const ElementRef& e, int index) override { Element(e).selectedIndex = index; }
    void FireChange(const ElementRef& e) override { ++Element(e).changes; }
    std::vector<std::string> OptionTexts(const ElementRef& e) override { return Element(e).options; }

    void Navigate(const BrowserRef& b, std::string_view address, bool) override { Window(b.window).address = address; }
    std::string DocumentUrl(const DocumentRef& d) override { return Window(d.window).address; }
    std::string DocumentTitle(const DocumentRef& d) override { return Window(d.window).document.title; }
    // As in the real browser, the last window with the title wins.
    std::optional<std::string> FindWindowByTitle(std::string_view title) override {
        std::optional<std::string> found;
        for (const MemWindow& w : windows)
            if (w.document.title == title) found = w.handle;
        return found;
    }
    // Closing the last window ends the application, as in the real browser.
    void CloseWindow(const std::string& handle) override {
        closed.push_back(handle);
        std::erase_if(windows, [&](const MemWindow& w) { return w.handle == handle; });
        if (windows.empty()) application = false;
    }
    std::string DocumentBytes(const DocumentRef& d) override { return Window(d.window).bytes; }
    bool DocumentComplete(const std::string& window) override { return !Window(window).loading; }
    std::string PageText(const std::string& window) override { return Window(window).document.text; }
    std::vector<std::string> TakeDialogs() override { return std::exchange(dialogs, {}); }
    void AwaitChange(uint32_t milliseconds) override {
        if (onAwait) onAwait();
        Browser::AwaitChange(milliseconds);
    }

protected:
    int FrameCount(const DocumentRef& d) override { return static_cast<int>(Window(d.window).document.frames.size()); }
    int AllFrameCount(const DocumentRef& d) override { return static_cast<int>(AllFrames(Window(d.window).document).size()); }
    std::optional<ElementRef> SearchDocument(const DocumentRef& d, int frame, std::string_view key, MatchMode mode) override {
        const MemDocument& document = Doc(d, frame);
        for (size_t i = 0; i < document.all.size(); ++i) {
            const MemElement& element = document.all[i];
            if (mode == MatchMode::Name ? element.name == key : element.id == key)
                return ElementRef{d.window, frame, static_cast<int>(i), document.identity};
        }
        return std::nullopt;
    }
    std::vector<ElementFields> DocumentElements(const DocumentRef& d, int frame) override {
        std::vector<ElementFields> fields;
        const MemDocument& document = Doc(d, frame);
        for (size_t i = 0; i < document.all.size(); ++i) {
            const MemElement& e = document.all[i];
            fields.push_back({{d.window, frame, static_cast<int>(i), document.identity}, e.name, e.type, e.value, e.id, e.checked});
        }
        return fields;
    }

private:
    // The frames of every depth, the top document's first, then level by level.
    static std::vector<MemDocument*> AllFrames(MemDocument& top) {
        std::vector<MemDocument*> all;
        for (MemDocument& frame : top.frames) all.push_back(&frame);
        for (size_t i = 0; i < all.size(); ++i)
            for (MemDocument& frame : all[i]->frames) all.push_back(&frame);
        return all;
    }
    MemDocument& Doc(const DocumentRef& d, int frame) {
        MemDocument& top = Window(d.window).document;
        return frame < 0 ? top : *AllFrames(top).at(static_cast<size_t>(frame));
    }
};

}  // namespace skartina::test
