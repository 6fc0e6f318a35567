// SPDX-License-Identifier: GPL-3.0-or-later
// The browser operations' rules, on a browser in memory and a fake clock:
// which window wins, which documents are searched, and when a wait gives up.

#include "support/MemoryBrowser.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace skartina::test {
namespace {

MemDocument WithElements(std::vector<MemElement> all) { return {"", std::move(all), {}}; }

TEST(BrowserRules, TheLastMatchingWindowWins) {
    FakeClock clock;
    MemoryBrowser browser(clock);
    browser.windows = {{"first", "https://app/webtax/incomefp/year2010-income-menu.do", WithElements({Named("n901")})},
                       {"second", "https://app/webtax/incomefp/year2010-income-menu.do?print=e1", WithElements({Named("n901")})},
                       {"other", "https://app/webtax/incomefp/index.jsp", WithElements({Named("n901")})}};

    const WindowFound byAddress = browser.FindBrowserByUrl("year2010-income-menu.do");
    ASSERT_TRUE(byAddress.found);
    EXPECT_EQ(byAddress.browser.window, "second");
    EXPECT_EQ(byAddress.document.window, "second");

    const WindowFound byElement = browser.WaitForElement("year2010-income-menu.do", "n901", MatchMode::Name);
    ASSERT_TRUE(byElement.found);
    EXPECT_EQ(byElement.browser.window, "second");
    EXPECT_EQ(byElement.document.window, "second");
}

TEST(BrowserRules, AMatchingWindowWithoutTheElementDoesNotWin) {
    FakeClock clock;
    MemoryBrowser browser(clock);
    browser.windows = {{"with", "https://app/x", WithElements({Named("n901")})}, {"without", "https://app/x", WithElements({Named("n902")})}};
    const WindowFound found = browser.WaitForElement("/x", "n901", MatchMode::Name);
    ASSERT_TRUE(found.found);
    EXPECT_EQ(found.browser.window, "with");
}

TEST(BrowserRules, AnAddressIsMatchedAsACaseSensitiveSubstring) {
    FakeClock clock;
    MemoryBrowser browser(clock);
    browser.windows = {{"w", "https://app/webtax/incomefp/login.do", {}}};
    EXPECT_TRUE(browser.FindBrowserByUrl("incomefp/login").found);
    EXPECT_FALSE(browser.FindBrowserByUrl("IncomeFP/login").found);
}

// Where an element sits, and where a search finds it: the frame rule first
// (0 or 1 frame: the top document; 2 or more: the frames), then every other
// document of the page, nested frames included, before nothing is found.
struct FrameCase {
    const char* label;
    int frames;
    std::vector<int> elementIn;  // -1: the top document, k: frame k; 100 + k: a frame inside frame k
    int foundIn;                 // where the search finds it
};

class FrameRule : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FrameRule, SearchesTheRulesDocumentsFirstThenEveryOther) {
    const FrameCase& c = GetParam();
    FakeClock clock;
    MemoryBrowser browser(clock);
    MemDocument top = WithElements({Named("other")});
    for (int k = 0; k < c.frames; ++k) top.frames.push_back(WithElements({Named("other")}));
    for (int in : c.elementIn) {
        if (in >= 100) {
            top.frames[static_cast<size_t>(in - 100)].frames.push_back(WithElements({Named("n901")}));
            continue;
        }
        (in < 0 ? top : top.frames[static_cast<size_t>(in)]).all.push_back(Named("n901"));
    }
    browser.windows = {{"w", "https://app/page", top}};

    const auto element = browser.FindElementByName({"w"}, "n901");
    ASSERT_TRUE(element.has_value());
    EXPECT_EQ(element->frame, c.foundIn);
    EXPECT_TRUE(browser.WaitForElement("/page", "n901", MatchMode::Name).found);
    EXPECT_FALSE(browser.FindElementByName({"w"}, "n999").has_value());
}

INSTANTIATE_TEST_SUITE_P(Cases, FrameRule,
                         ::testing::Values(FrameCase{"NoFramesTop", 0, {-1}, -1},
                                           FrameCase{"OneFrameSearchedThroughTop", 1, {-1}, -1},
                                           FrameCase{"OneFrameItsOwnElementAfterTheTop", 1, {0}, 0},
                                           FrameCase{"OneFrameTopBeforeItsFrame", 1, {-1, 0}, -1},
                                           FrameCase{"TwoFramesFirst", 2, {0}, 0},
                                           FrameCase{"ThreeFramesLast", 3, {2}, 2},
                                           FrameCase{"TwoFramesBeforeTheTop", 2, {-1, 1}, 1},
                                           FrameCase{"TwoWidgetFramesTheTopAfterThem", 2, {-1}, -1},
                                           FrameCase{"AFrameInsideTheSecondFrame", 2, {101}, 2}),
                         [](const auto& info) { return std::string(info.param.label); });

// What is read beside a found field (a return's first field): the frame
// rule's documents and always the one holding the field, in the page's order.
// A return whose own frames are widgets is read from its top document, not
// from the widgets alone.
struct BesideCase {
    const char* label;
    int frames;
    int markerIn;  // -1: the top document, k: frame k; 100 + k: a frame inside frame k
    std::vector<std::string> read;
};

class ReadBeside : public ::testing::TestWithParam<BesideCase> {};

TEST_P(ReadBeside, TheRulesDocumentsAndTheOneHoldingTheField) {
    const BesideCase& c = GetParam();
    FakeClock clock;
    MemoryBrowser browser(clock);
    MemDocument top = WithElements({Named("top")});
    for (int k = 0; k < c.frames; ++k) top.frames.push_back(WithElements({Named("frame" + std::to_string(k))}));
    if (c.markerIn >= 100) top.frames[static_cast<size_t>(c.markerIn - 100)].frames.push_back(WithElements({Named("nested")}));
    MemDocument& holder = c.markerIn < 0     ? top
                          : c.markerIn < 100 ? top.frames[static_cast<size_t>(c.markerIn)]
                                             : top.frames[static_cast<size_t>(c.markerIn - 100)].frames.back();
    holder.all.push_back(Named("n901"));
    browser.windows = {{"w", "https://app/print", top}};

    const auto marker = browser.FindElementByName({"w"}, "n901");
    ASSERT_TRUE(marker);
    std::vector<std::string> read;
    for (const ElementFields& field : browser.ElementsBeside(*marker)) read.push_back(field.name);
    EXPECT_EQ(read, c.read);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadBeside,
    ::testing::Values(BesideCase{"NoFrames", 0, -1, {"top", "n901"}},
                      BesideCase{"ReturnOfTwoFrames", 2, 1, {"frame0", "frame1", "n901"}},
                      BesideCase{"WidgetFramesOnTheReturn", 2, -1, {"top", "n901", "frame0", "frame1"}},
                      BesideCase{"OneWidgetFrame", 1, -1, {"top", "n901"}},
                      BesideCase{"ReturnNestedInTheSecondFrame", 2, 101, {"frame0", "frame1", "nested", "n901"}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(BrowserRules, AnIdMatchesOnlyInIdMode) {
    FakeClock clock;
    MemoryBrowser browser(clock);
    MemElement byId;
    byId.id = "password";
    browser.windows = {{"w", "https://login/", WithElements({byId})}};

    EXPECT_TRUE(browser.WaitForElement("https://login", "password", MatchMode::Id).found);
    EXPECT_FALSE(browser.WaitForElement("https://login", "password", MatchMode::Name).found);
    EXPECT_FALSE(browser.FindElementByName({"w"}, "password").has_value());
}

TEST(BrowserRules, ANameIsComparedWithItsLetterCase) {
    FakeClock clock;
    MemoryBrowser browser(clock);
    browser.windows = {{"w", "https://app/", WithElements({Named("Year"), Named("YEAR")})}};
    const auto element = browser.FindElementByName({"w"}, "YEAR");
    ASSERT_TRUE(element);
    EXPECT_EQ(element->index, 1);
    EXPECT_FALSE(browser.FindElementByName({"w"}, "year"));
}

TEST(BrowserRules, OptionIndexOfText) {
    FakeClock clock;
    MemoryBrowser browser(clock);
    MemElement list = Named("YEAR");
    list.options = {"2004", "2005", "2005"};
    browser.windows = {{"w", "https://app/", WithElements({list})}};
    const ElementRef ref{"w", -1, 0, "doc"};
    EXPECT_EQ(browser.OptionIndexOfText(ref, "2003"), -1);
    EXPECT_EQ(browser.OptionIndexOfText(ref, "2005"), 1);
    EXPECT_EQ(browser.OptionIndexOfText(ref, "200"), -1);
}

// How long, on the fake clock, a search for something absent goes on: passes
// of the given length until one ends past the limit, a begun pass finishing.
struct GiveUpCase {
    const char* label;
    bool waitForElement;
    uint64_t passMs;
    uint64_t endsAtMs;
};

class GiveUp : public ::testing::TestWithParam<GiveUpCase> {};

TEST_P(GiveUp, AtTheFirstPassEndingPastTheLimit) {
    const GiveUpCase& c = GetParam();
    FakeClock clock(0);
    MemoryBrowser browser(clock);
    browser.listCostMs = c.passMs;
    browser.windows = {{"w", "https://app/elsewhere", WithElements({Named("n902")})}};
    const auto realStart = std::chrono::steady_clock::now();

    const bool found = c.waitForElement ? browser.WaitForElement("https://app/", "n901", MatchMode::Name).found
                                        : browser.FindBrowserByUrl("year2010").found;

    EXPECT_FALSE(found);
    EXPECT_EQ(clock.now, c.endsAtMs);
    EXPECT_LT(std::chrono::steady_clock::now() - realStart, std::chrono::seconds(1));
}

INSTANTIATE_TEST_SUITE_P(Cases, GiveUp,
                         ::testing::Values(GiveUpCase{"FindWindowShortPasses", false, 100, 11000},
                                           GiveUpCase{"FindWindowPassRunsOver", false, 3000, 12000},
                                           GiveUpCase{"FindWindowOddPasses", false, 700, 11200},
                                           GiveUpCase{"WaitElementShortPasses", true, 100, 21000},
                                           GiveUpCase{"WaitElementPassRunsOver", true, 8000, 24000},
                                           GiveUpCase{"WaitElementOddPasses", true, 1300, 22100}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(BrowserRules, AnElementThatAppearsDuringTheWaitIsFound) {
    FakeClock clock(0);
    MemoryBrowser browser(clock);
    browser.listCostMs = 500;
    browser.windows = {{"w", "https://app/print", {}}};
    int passes = 0;
    // The page shows its field from the fifth look on.
    browser.onList = [&] {
        if (++passes == 5) browser.windows[0].document.all.push_back(Named("n901"));
    };
    EXPECT_TRUE(browser.WaitForElement("https://app/print", "n901", MatchMode::Name).found);
    EXPECT_EQ(passes, 5);
    EXPECT_EQ(clock.now, 2500u);
}

TEST(BrowserRules, PumpDelayPumpsAtLeastOnceAndWaitsItsTime) {
    FakeClock clock(100);
    MemoryBrowser browser(clock);
    browser.PumpDelay(0);
    EXPECT_EQ(clock.pumps, 1);
    clock.pumps = 0;
    browser.PumpDelay(2000);
    EXPECT_EQ(clock.pumps, 20);
    EXPECT_EQ(clock.now, 2100u);
}

}  // namespace
}  // namespace skartina::test
