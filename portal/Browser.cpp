// SPDX-License-Identifier: GPL-3.0-or-later
#include "portal/Browser.h"

#include <algorithm>

namespace skartina {

void Browser::PumpDelay(uint32_t milliseconds) {
    const uint64_t start = clock_.NowMs();
    do {
        clock_.Pump();
    } while (clock_.NowMs() - start < milliseconds);
}

bool Browser::PollPasses(int limitSeconds, const std::function<bool()>& pass) {
    const uint64_t start = clock_.NowMs();
    for (;;) {
        clock_.Pump();
        if (pass()) return true;
        const uint64_t elapsedSeconds = (clock_.NowMs() - start) / 1000;
        if (elapsedSeconds > static_cast<uint64_t>(limitSeconds)) return false;
    }
}

WindowFound Browser::FindBrowserByUrl(std::string_view addressPart) {
    WindowFound result;
    PollPasses(kFindWindowSeconds, [&] {
        // Every window is looked at; the last one that matches wins.
        for (const OpenWindow& window : Windows()) {
            if (window.address.find(addressPart) == std::string::npos) continue;
            result = {true, {window.handle}, {window.handle}};
        }
        return result.found;
    });
    return result;
}

WindowFound Browser::WaitForElement(std::string_view addressPart, std::string_view key, MatchMode mode) {
    WindowFound result;
    PollPasses(kWaitElementSeconds, [&] {
        for (const OpenWindow& window : Windows()) {
            if (window.address.find(addressPart) == std::string::npos) continue;
            const DocumentRef document{window.handle};
            if (Search(document, key, mode)) result = {true, {window.handle}, document};
        }
        return result.found;
    });
    return result;
}

std::optional<ElementRef> Browser::FindElementByName(const DocumentRef& document, std::string_view name) {
    return Search(document, name, MatchMode::Name);
}

std::vector<ElementFields> Browser::SearchedElements(const DocumentRef& document) {
    std::vector<ElementFields> all;
    for (int frame : SearchedFrames(FrameCount(document))) {
        std::vector<ElementFields> part = DocumentElements(document, frame);
        all.insert(all.end(), std::make_move_iterator(part.begin()), std::make_move_iterator(part.end()));
    }
    return all;
}

std::vector<ElementFields> Browser::ElementsBeside(const ElementRef& element) {
    std::vector<int> frames = SearchedFrames(FrameCount({element.window}));
    if (std::find(frames.begin(), frames.end(), element.frame) == frames.end()) {
        frames.push_back(element.frame);
        std::sort(frames.begin(), frames.end());  // in the page's order: the top document, its frames, the nested ones
    }
    std::vector<ElementFields> all;
    for (int frame : frames) {
        std::vector<ElementFields> part = DocumentElements({element.window}, frame);
        all.insert(all.end(), std::make_move_iterator(part.begin()), std::make_move_iterator(part.end()));
    }
    return all;
}

int Browser::OptionIndexOfText(const ElementRef& list, std::string_view text) {
    const std::vector<std::string> options = OptionTexts(list);
    for (size_t i = 0; i < options.size(); ++i)
        if (options[i] == text) return static_cast<int>(i);
    return -1;
}

// A page of frames is read through its frames' documents; a single frame is
// taken to be part of the page, and the top document is searched.
std::vector<int> Browser::SearchedFrames(int frames) {
    if (frames < 2) return {-1};
    std::vector<int> searched;
    for (int k = 0; k < frames; ++k) searched.push_back(k);
    return searched;
}

Browser::TopSearch Browser::SearchTopDocument(const DocumentRef& document, std::string_view key, MatchMode mode) {
    TopSearch top{FrameCount(document), std::nullopt};
    if (SearchedFrames(top.frames).front() < 0) top.element = SearchDocument(document, -1, key, mode);
    return top;
}

std::optional<ElementRef> Browser::Search(const DocumentRef& document, std::string_view key, MatchMode mode) {
    TopSearch top = SearchTopDocument(document, key, mode);
    const std::vector<int> searched = SearchedFrames(top.frames);
    if (searched.front() < 0) {
        if (top.element || top.frames == 0) return top.element;  // the top document was the one to search
    } else {
        for (int frame : searched)
            if (auto element = SearchDocument(document, frame, key, mode)) return element;
    }
    // Not where the rule looks: a page may carry frames of its own besides
    // the portal's (a chat or counter widget), or nest its frames; every
    // other document of the page is searched before giving up.
    if (searched.front() >= 0)
        if (auto element = SearchDocument(document, -1, key, mode)) return element;
    const int all = AllFrameCount(document);
    for (int frame = searched.front() < 0 ? 0 : top.frames; frame < all; ++frame)
        if (auto element = SearchDocument(document, frame, key, mode)) return element;
    return std::nullopt;
}

}  // namespace skartina
