// SPDX-License-Identifier: GPL-3.0-or-later
// The browser is reachable by the program alone and ends with it: no TCP port
// listens for it, a program killed at any moment takes its Chromium along,
// and its profile is private and removed, at the latest at the next start.

#include "support/PortalFixture.h"
#include "support/Processes.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

namespace skartina::test {
namespace {

class BrowserIsolation : public PortalTest {};

// The holder's browser is configured as the program's, by the environment.
// The simulated portal's hosts: its certificate is accepted for hosts on this machine only.
ChildOptions HolderOptions(const PortalHosts& hosts) {
    ChildOptions options;
    options.captureStdout = true;
    options.environment = {"SKARTINA_BROWSER_HEADLESS=1", "SKARTINA_PORTAL_INSECURE_TLS=1",
                           "SKARTINA_PORTAL_APP_HOST=" + hosts.app, "SKARTINA_PORTAL_LOGIN_HOST=" + hosts.login,
                           "SKARTINA_PORTAL_ALT_LOGIN_HOST=" + hosts.altLogin};
    return options;
}

TEST_F(BrowserIsolation, NoTcpSocketListensWhileAPortalSessionIsOpen) {
    LogIn();
    ASSERT_TRUE(browser().HasApplication());
    const pid_t simulator = SharedPortal()->simulator->pid();
    const std::set<unsigned long> listening = ListeningTcpInodes();

    // The scan sees a listening socket where there is one: the simulator's.
    std::set<unsigned long> simulatorSockets = SocketInodes(simulator);
    EXPECT_TRUE(std::any_of(simulatorSockets.begin(), simulatorSockets.end(), [&](unsigned long i) { return listening.count(i); }));

    // This program, its browser and every process the browser started,
    // including those that left the tree (its crash handler).
    std::set<pid_t> ours = ProcessTree(getpid(), simulator);
    ASSERT_TRUE(ours.count(browser().BrowserProcess()));
    for (pid_t pid : ProcessesMarkedWith(browser().ProfileFolder().string())) ours.insert(pid);
    EXPECT_GE(ours.size(), 4u) << "the browser's own processes were not found";
    for (pid_t pid : ours)
        for (unsigned long inode : SocketInodes(pid))
            EXPECT_FALSE(listening.count(inode)) << "process " << pid << " (" << ProcFile(pid, "cmdline").substr(0, 80)
                                                 << ") listens on a TCP socket";
}

TEST_F(BrowserIsolation, AProgramKilledAtAnyMomentLeavesNoBrowserAndNoProfile) {
    const std::filesystem::path profiles = BrowserProfilesFolder();
    const std::string address = hosts().AppAddress("/webtax/incomefp/index.jsp");
    std::mt19937 random(std::random_device{}());
    std::vector<std::string> marks;  // "PROFILES/profile-PID-": what each killed program's browser carries
    for (int run = 0; run < 10; ++run) {
        ChildProcess holder(SKARTINA_BROWSER_HOLDER, {address}, HolderOptions(hosts()));
        const std::string mark = (profiles / ("profile-" + std::to_string(holder.pid()) + "-")).string();
        if (run % 2 == 0) {
            // Anywhere in the start: before, during or after the browser's.
            std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<>(0, 1500)(random)));
        } else {
            // With the portal page shown, while the program looks at it.
            EXPECT_EQ(holder.ReadLine(30000), "open");
            EXPECT_FALSE(ProcessesMarkedWith(mark).empty());
            std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<>(0, 500)(random)));
        }
        ASSERT_EQ(kill(holder.pid(), SIGKILL), 0);
        marks.push_back(mark);
    }  // each holder is reaped here

    std::this_thread::sleep_for(std::chrono::seconds(5));
    for (const std::string& mark : marks) {
        const std::set<pid_t> left = ProcessesMarkedWith(mark);
        EXPECT_TRUE(left.empty()) << left.size() << " processes of " << mark << " outlived it, such as "
                                  << ProcFile(*left.begin(), "cmdline").substr(0, 120);
    }

    browser().OpenApplication();  // the next start clears what the killed ones left
    for (const auto& entry : std::filesystem::directory_iterator(profiles))
        for (const std::string& mark : marks)
            EXPECT_NE(entry.path().string().rfind(mark, 0), 0u) << entry.path() << " was left";
}

// Closing the pipe ends a browser that reads it; one that hangs is ended by
// the death signal all the same. The hung browser here never reads its pipe.
TEST_F(BrowserIsolation, ABrowserThatHangsEndsWithTheProgramAllTheSame) {
    const TempDir folder;
    const std::filesystem::path hung = folder / "hung-browser";
    WriteBytes(hung, "#!/bin/sh\nexec sleep 600\n");
    std::filesystem::permissions(hung, std::filesystem::perms::owner_all);
    ChildOptions options = HolderOptions(hosts());
    options.environment.push_back("SKARTINA_CHROMIUM=" + hung.string());
    ChildProcess holder(SKARTINA_BROWSER_HOLDER, {"about:blank"}, options);
    const std::string mark = (BrowserProfilesFolder() / ("profile-" + std::to_string(holder.pid()) + "-")).string();
    for (int waited = 0; waited < 5000 && ProcessesMarkedWith(mark).empty(); waited += 50)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_FALSE(ProcessesMarkedWith(mark).empty()) << "the hung browser did not start";

    ASSERT_EQ(kill(holder.pid(), SIGKILL), 0);
    for (int waited = 0; waited < 5000 && !ProcessesMarkedWith(mark).empty(); waited += 50)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(ProcessesMarkedWith(mark).empty());
}

mode_t Permissions(const std::filesystem::path& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

// This process's start time, as a profile's name carries it.
std::string ReadStartTime() {
    const std::string stat = ProcFile(getpid(), "stat");
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 22; ++i) fields >> field;
    return field;
}

TEST(BrowserProfile, IsPrivateGoesAtItsEndAndRemovesTheFoldersOfEndedPrograms) {
    const std::filesystem::path profiles = BrowserProfilesFolder();
    const std::string self = std::to_string(getpid()), started = ReadStartTime();
    struct Case {
        std::string name;
        bool kept;
    };
    const std::vector<Case> cases = {
        {"profile-" + self + "-" + started + "-running", true},            // this program's
        {"profile-" + self + "-1" + started + "-reused", false},           // an earlier program with the same pid
        {"profile-4194999-" + started + "-ended", false},                  // a pid beyond any
        {"profile-garbled", true},                                         // not named by a program: left alone
        {"other-" + self + "-" + started + "-x", true},                    // not a profile
    };
    for (const Case& c : cases) std::filesystem::create_directories(profiles / c.name / "Default");

    std::filesystem::path made;
    {
        const skartina::BrowserProfile profile;
        made = profile.path();
        EXPECT_EQ(Permissions(made), 0700u);
        EXPECT_EQ(made.parent_path(), profiles);
        EXPECT_EQ(Permissions(profiles), 0700u);
        for (const Case& c : cases) EXPECT_EQ(std::filesystem::exists(profiles / c.name), c.kept) << c.name;
    }
    EXPECT_FALSE(std::filesystem::exists(made));
    for (const Case& c : cases) std::filesystem::remove_all(profiles / c.name);
}

}  // namespace
}  // namespace skartina::test
