// SPDX-License-Identifier: GPL-3.0-or-later
// What the browser sends is read defensively: a malformed or unexpected
// DevTools message, an answer of the wrong shape or one beyond the size bound
// is an error of the retrieval with a clear text, never an exception of the
// JSON library; the report's bytes are bounded; and the browser starts with
// none of this program's secrets in its environment.

#include "support/TestSupport.h"
#include "browser/BrowserEnvironment.h"
#include "browser/BrowserProfile.h"
#include "browser/ChromiumArguments.h"
#include "browser/DevToolsAnswers.h"
#include "browser/DevToolsBrowser.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace skartina::test {
namespace {

using nlohmann::json;

TEST(DevToolsInbox, MalformedMessagesAreDroppedAndOnlyAwaitedAnswersKept) {
    DevToolsInbox inbox;
    std::vector<json> events;
    inbox.OnEvent([&](const json& event) { events.push_back(event); });
    inbox.Await(1);
    inbox.Await(2);
    const std::string stream = std::string("not json") + '\0' + "[1,2]" + '\0' + "\"text\"" + '\0' + "{\"id\":\"1\"}" + '\0' +
                               "{\"id\":7,\"result\":{}}" + '\0' + "{\"id\":-1}" + '\0' + "{\"id\":1e30}" + '\0' +
                               "{\"method\":\"Target.targetCreated\",\"params\":5}" + '\0' + "{\"id\":2,\"res";
    // In pieces of every size, as the pipe may cut them.
    for (size_t at = 0; at < stream.size(); at += 3) inbox.Receive(std::string_view(stream).substr(at, 3));
    EXPECT_FALSE(inbox.Take(1));
    EXPECT_FALSE(inbox.Take(7)) << "nobody awaits it";
    EXPECT_EQ(events.size(), 1u);
    inbox.Receive(std::string("ult\":{\"sessionId\":\"S\"}}") + '\0');
    const std::optional<json> answer = inbox.Take(2);
    ASSERT_TRUE(answer);
    EXPECT_EQ(devtools::SessionIdOf(DevToolsInbox::ResultOf("Target.attachToTarget", *answer)), "S");
    EXPECT_FALSE(inbox.Take(2)) << "taken once";

    struct Case {
        const char* answer;
        const char* says;
    };
    for (const Case& c : std::vector<Case>{{R"({"id":1,"error":{"message":"No target","data":"T9"}})", "m: No target (T9)"},
                                           {R"({"id":1,"error":"nope"})", "m: refused"},
                                           {R"({"id":1,"result":[1]})", "m: the browser's answer is malformed"}}) {
        try {
            DevToolsInbox::ResultOf("m", json::parse(c.answer));
            ADD_FAILURE() << c.answer;
        } catch (const BrowserError& error) {
            EXPECT_EQ(std::string(error.what()), c.says);
        }
    }

    DevToolsInbox small(64);
    EXPECT_THROW(small.Receive(std::string(65, 'x')), DevToolsOverflow);
    DevToolsInbox small2(64);
    EXPECT_THROW(small2.Receive(std::string(65, 'x') + '\0'), DevToolsOverflow);
}

TEST(DevToolsAnswers, FieldsOfTheWrongShapeAreErrorsOfTheRetrieval) {
    const DocumentRef document{"W"};
    const std::vector<std::function<void()>> readers = {
        [] { devtools::TargetsOf(json::object()); },
        [] { devtools::TargetsOf({{"targetInfos", "none"}}); },
        [] { devtools::SessionIdOf({{"sessionId", 5}}); },
        [] { devtools::WindowIdOf({{"windowId", "1"}}); },
        [] { devtools::WindowIdOf({{"windowId", 1e12}}); },
        [] { devtools::EvaluatedValue(json::array()); },
        [] { devtools::EvaluatedValue({{"exceptionDetails", {{"text", 5}}}}); },
        [&] { devtools::FoundElement(document, 0, json::array({1})); },
        [&] { devtools::TopSearchOf(document, json::array({"2", nullptr})); },
        [&] { devtools::ElementsOf(document, 0, json::array({"doc", json::array({json::array({"n301"})})})); },
        [&] { devtools::ElementsOf(document, 0, json::array({"doc", json::array({json::array({"n", "t", 3, "", false})})})); },
        [] { devtools::StringsOf(json::array({"a", 1})); },
        [] { devtools::BoolOf(1); },
    };
    for (size_t i = 0; i < readers.size(); ++i) {
        try {
            readers[i]();
            ADD_FAILURE() << "reader " << i << " took a malformed answer";
        } catch (const BrowserError& error) {
            EXPECT_NE(std::string(error.what()), "") << i;
        }
    }
    // A page whose script failed says why, in its first line.
    try {
        devtools::EvaluatedValue({{"exceptionDetails", {{"exception", {{"description", "TypeError: x\n at y"}}}}}});
        ADD_FAILURE();
    } catch (const BrowserError& error) {
        EXPECT_EQ(std::string(error.what()), "TypeError: x");
    }
    EXPECT_FALSE(devtools::TargetOf({{"targetId", 5}}));
    EXPECT_EQ(devtools::TargetsOf({{"targetInfos", {5, {{"targetId", "T"}, {"url", 7}}}}}).size(), 1u);
}

TEST(DevToolsAnswers, AReportBeyondTwentyMegabytesIsRefusedInGreekAndGarbledBytesAreNamed) {
    EXPECT_EQ(devtools::ReportBytesOf("JVBERi0x"), "%PDF-1");
    struct Case {
        json answer;
        std::string says;
    };
    const std::vector<Case> cases = {
        {std::string(28u * 1024 * 1024, 'A'), devtools::kReportTooLargeMessage},
        {"QQ=", "the page returned its bytes garbled"},
        {"*not*", "the page returned its bytes garbled"},
        {5, "the browser's answer is malformed: a text was expected"},
    };
    for (const Case& c : cases) {
        try {
            devtools::ReportBytesOf(c.answer);
            ADD_FAILURE() << c.says;
        } catch (const BrowserError& error) {
            EXPECT_EQ(std::string(error.what()), c.says);
        }
    }
    EXPECT_NE(devtools::kReportTooLargeMessage.find("20 MB"), std::string::npos);
}

// A browser program that answers every command with the script's reply.
std::filesystem::path FakeBrowser(const TempDir& dir, const std::string& name, const std::string& reply) {
    const std::filesystem::path path = dir / name;
    WriteBytes(path, "#!/bin/bash\nn=0\nwhile IFS= read -r -d '' command <&3; do\n  n=$((n+1))\n" + reply + "\ndone\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    return path;
}

TEST(DevToolsBrowser, AMalformedOrOversizedMessageIsAClearErrorNeverACrash) {
    TempDir dir;
    // Every command is answered; a window is told of as the browser tells it, by its event.
    const std::string window = R"({"method":"Target.targetCreated","params":{"targetInfo":{"targetId":"P","type":"page","url":"about:blank","title":""}}}\0)";
    const std::string page =
        "printf '" + window + R"({"id":%d,"result":{"sessionId":"S","browserContextId":"C","targetId":"P"}}\0' $n >&4)";
    struct Case {
        const char* name;
        std::string reply;
        const char* says;  // empty: the browser opens
    };
    const std::vector<Case> cases = {
        {"result-not-object", R"(printf '{"id":%d,"result":[1]}\0' $n >&4)",
         "Target.setDiscoverTargets: the browser's answer is malformed"},
        {"error-not-object", R"(printf '{"id":%d,"error":"nope"}\0' $n >&4)", "Target.setDiscoverTargets: refused"},
        {"no-session", "printf '" + window + R"({"id":%d,"result":{}}\0' $n >&4)",
         "the browser's answer is malformed: no session"},
        {"oversized", "head -c 50331649 /dev/zero | tr '\\0' x >&4; sleep 30", "a message of more than 48 MB"},
        {"noise-then-answers",
         R"(printf 'not json\0[1,2]\0{"method":"Target.targetCreated","params":{"targetInfo":5}}\0{"method":7}\0{"id":"x"}\0{"method":"Target.targetDestroyed","params":[]}\0' >&4; )" + page,
         ""},
    };
    for (const Case& c : cases) {
        SteadyPumpClock clock;
        BrowserConfig config;
        config.chromium = FakeBrowser(dir, c.name, c.reply).string();
        DevToolsBrowser browser(clock, config);
        try {
            browser.OpenApplication();
            EXPECT_STREQ(c.says, "") << c.name << " opened";
            EXPECT_EQ(browser.Windows().size(), 1u) << c.name;
        } catch (const BrowserError& error) {
            EXPECT_NE(std::string(error.what()).find(c.says), std::string::npos) << c.name << ": " << error.what();
            EXPECT_NE(std::string(c.says), "") << c.name << ": " << error.what();
            EXPECT_FALSE(browser.HasApplication()) << c.name;
        }
    }
}

TEST(BrowserEnvironment, PassesTheDesktopAndNoSecretAndKeepsTheBrowsersFoldersInItsProfile) {
    TempDir profile;
    std::vector<std::string> parent = {"SKARTINA_PASSWORD=secret", "DISPLAY=:1", "WAYLAND_DISPLAY=wayland-0",
                                       "XDG_RUNTIME_DIR=/run/user/1000", "HOME=/home/user", "TMPDIR=/tmp",
                                       "LC_ALL=el_GR.UTF-8", "PATH=/usr/bin:/bin", "SSH_AUTH_SOCK=/tmp/agent",
                                       "AWS_SECRET_ACCESS_KEY=x", "XDG_CONFIG_HOME=/home/user/.config", "NOEQUALS"};
    std::vector<char*> entries;
    for (std::string& entry : parent) entries.push_back(entry.data());
    entries.push_back(nullptr);
    const std::vector<std::string> environment = BrowserEnvironment(profile.path(), entries.data());
    const auto value = [&](const std::string& name) -> std::optional<std::string> {
        for (const std::string& entry : environment)
            if (entry.rfind(name + "=", 0) == 0) return entry.substr(name.size() + 1);
        return std::nullopt;
    };
    for (const char* name : {"SKARTINA_PASSWORD", "SSH_AUTH_SOCK", "AWS_SECRET_ACCESS_KEY", "NOEQUALS"})
        EXPECT_FALSE(value(name)) << name;
    EXPECT_EQ(value("DISPLAY"), ":1");
    EXPECT_EQ(value("LC_ALL"), "el_GR.UTF-8");
    EXPECT_EQ(value("PATH"), "/usr/bin:/bin");
    EXPECT_EQ(value("WAYLAND_DISPLAY"), "/run/user/1000/wayland-0") << "reachable from the moved runtime folder";
    // The temporary folder is the profiles' private folder: a socket's path in a profile would be too long.
    EXPECT_EQ(value("TMPDIR"), profile.path().parent_path().string());
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
        ASSERT_TRUE(value(name)) << name;
        const std::filesystem::path folder = *value(name);
        EXPECT_EQ(folder.parent_path(), profile.path()) << name;
        struct stat info {};
        ASSERT_EQ(stat(folder.c_str(), &info), 0) << name;
        EXPECT_EQ(info.st_mode & 0777, 0700u) << name;
    }
}

// Without a runtime folder, the shared temporary folder's name can be taken
// first by another user: the user's own cache folder serves instead.
TEST(BrowserProfile, AForeignFolderInTheTemporaryFolderIsPassedOver) {
    TempDir dir;
    std::filesystem::create_directories(dir / "tmp");
    const std::filesystem::path taken = dir / "tmp" / ("skartina-browser-" + std::to_string(geteuid()));
    if (geteuid() == 0) {
        std::filesystem::create_directory(taken);
        ASSERT_EQ(chown(taken.c_str(), 65534, 65534), 0);
    } else {
        std::filesystem::create_directory(dir / "elsewhere");
        std::filesystem::create_directory_symlink(dir / "elsewhere", taken);  // a link planted in its place
    }
    struct Saved {
        const char* name;
        std::optional<std::string> value;
    };
    std::vector<Saved> saved;
    for (const char* name : {"XDG_RUNTIME_DIR", "TMPDIR", "HOME", "XDG_CACHE_HOME"})
        saved.push_back({name, std::getenv(name) ? std::optional<std::string>(std::getenv(name)) : std::nullopt});
    unsetenv("XDG_RUNTIME_DIR");
    unsetenv("XDG_CACHE_HOME");
    setenv("TMPDIR", (dir / "tmp").c_str(), 1);
    setenv("HOME", (dir / "home").c_str(), 1);

    std::filesystem::path folder;
    EXPECT_NO_THROW(folder = BrowserProfilesFolder());
    EXPECT_EQ(folder, dir / "home" / ".cache" / "skartina-browser");
    {
        const BrowserProfile profile;
        EXPECT_EQ(profile.path().parent_path(), folder);
    }
    for (const Saved& s : saved) {
        if (s.value) setenv(s.name, s.value->c_str(), 1);
        else unsetenv(s.name);
    }
}

}  // namespace
}  // namespace skartina::test

namespace skartina::test {
namespace {

// The browser's command line: its sandbox off for root alone, and every name
// but the three portal hosts' (without their ports) resolving to nothing.
TEST(ChromiumArguments, SandboxedButForRootAndOnlyThePortalResolves) {
    BrowserConfig config;
    config.popupHosts = {"www1.aade.gr", "login.gsis.gr:443", "127.0.0.1:40113"};
    for (bool root : {false, true}) {
        const std::vector<std::string> args = ChromiumArguments(config, "/run/profile", root);
        EXPECT_EQ(std::count(args.begin(), args.end(), "--no-sandbox"), root ? 1 : 0) << root;
        EXPECT_EQ(std::count(args.begin(), args.end(),
                             "--host-resolver-rules=MAP * ~NOTFOUND , EXCLUDE www1.aade.gr , EXCLUDE login.gsis.gr , "
                             "EXCLUDE 127.0.0.1"),
                  1);
        EXPECT_EQ(std::count(args.begin(), args.end(), "--remote-debugging-pipe"), 1);
        EXPECT_EQ(std::count_if(args.begin(), args.end(),
                                [](const std::string& a) { return a.rfind("--remote-debugging-port", 0) == 0; }),
                  0)
            << "no port that another user could reach";
        EXPECT_EQ(args.back(), "about:blank");
    }
}

TEST(ChromiumArguments, TheAddressBarPopupIsOffButWhenMeasured) {
    for (bool measured : {false, true}) {
        BrowserConfig config;
        config.addressBarPopup = measured;
        const std::vector<std::string> args = ChromiumArguments(config, "/run/profile", false);
        const auto features = std::find_if(args.begin(), args.end(),
                                           [](const std::string& a) { return a.rfind("--disable-features=", 0) == 0; });
        ASSERT_NE(features, args.end());
        EXPECT_EQ(features->find("WebUIOmniboxPopup") == std::string::npos, measured) << *features;
        EXPECT_NE(features->find("AutofillServerCommunication"), std::string::npos) << "the rest stays off";
    }
}

}  // namespace
}  // namespace skartina::test
