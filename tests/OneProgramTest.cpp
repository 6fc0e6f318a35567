// SPDX-License-Identifier: GPL-3.0-or-later
// The program and skartina-cli on one data folder, as separate processes: a
// second start of the program brings the first forward and ends, a command
// that would write is refused and told, and a program that crashes leaves the
// folder free.

#include "common/DataFolderLock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using skartina::DataFolderLock;

std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

struct Outcome {
    int status;
    std::string err;
};

Outcome Shell(const fs::path& dir, const std::string& command) {
    const int raw = std::system((command + " >/dev/null 2>" + Quoted(dir / "err.txt")).c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Read(dir / "err.txt")};
}

// The program in the folder, offscreen, until it is killed; what it says on
// its error output goes to `said` (nowhere when empty).
pid_t StartProgram(const fs::path& folder, const fs::path& said = {}) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        const std::string dataDir = folder.string();
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(said.empty() ? null : ::open(said.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        ::execl(SKARTINA_PROGRAM, SKARTINA_PROGRAM, "--data-dir", dataDir.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return pid;
}

bool HolderSays(const fs::path& folder, const std::string& part) {
    for (int i = 0; i < 300; ++i) {
        // The holder writes its name only once it holds the lock.
        if (DataFolderLock::HolderOf(folder).find(part) != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

// A folder of its own holding a data folder with its Tables, set to start no version check.
std::pair<fs::path, fs::path> MakeDataFolder() {
    char made[] = "/tmp/skartina-one-program-XXXXXX";
    if (!::mkdtemp(made)) throw std::runtime_error("no temporary folder");
    const fs::path dir = fs::weakly_canonical(made);
    const fs::path data = dir / "data";
    fs::create_directories(data / "Tables");
    std::ofstream(data / "Autocheck21.ini") << "Not OK\n";
    return {dir, data};
}

TEST(OneProgram, TheWindowHoldsItsFolderAgainstASecondStartAndTheCommandLine) {
    const auto [dir, data] = MakeDataFolder();
    const fs::path analysis = data / "Tables" / "123456783_2021.grd";
    ASSERT_EQ(Shell(dir, std::string(SKARTINA_CLI) + " new " + Quoted(analysis)).status, 0);
    const std::string saved = Read(analysis);
    ASSERT_EQ(Shell(dir, std::string(SKARTINA_CLI) + " new " + Quoted(dir / "other.grd") + " --married").status, 0);

    const pid_t first = StartProgram(data);
    ASSERT_GT(first, 0);
    ASSERT_TRUE(HolderSays(data, "το παράθυρο του ΣΚΑΡΤΙΝΑ, διεργασία " + std::to_string(first)));

    // A second start is told, asks the first to come forward, and ends at once.
    const auto began = std::chrono::steady_clock::now();
    const Outcome second = Shell(dir, "QT_QPA_PLATFORM=offscreen " + std::string(SKARTINA_PROGRAM) + " --data-dir " + Quoted(data));
    EXPECT_EQ(second.status, 0) << second.err;
    EXPECT_NE(second.err.find("Ο φάκελος δεδομένων «" + data.string() + "» χρησιμοποιείται ήδη από το παράθυρο του ΣΚΑΡΤΙΝΑ"),
              std::string::npos)
        << second.err;
    EXPECT_NE(second.err.find("το παράθυρό του ήρθε μπροστά"), std::string::npos) << second.err;
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(15));

    // The command line writes nothing into the folder while the window has it: no update lost.
    for (const std::string& command :
         {std::string(SKARTINA_CLI) + " recalc " + Quoted(dir / "other.grd") + " " + Quoted(analysis),
          "cd " + Quoted(data) + " && " + SKARTINA_CLI + " retrieve-clients --afm 123456783"}) {
        const Outcome refused = Shell(dir, command);
        EXPECT_EQ(refused.status, 1) << command;
        EXPECT_NE(refused.err.find("χρησιμοποιείται ήδη από το παράθυρο του ΣΚΑΡΤΙΝΑ, διεργασία " + std::to_string(first)),
                  std::string::npos)
            << refused.err;
    }
    EXPECT_TRUE(Read(analysis) == saved);
    EXPECT_FALSE(fs::exists(data / "Tables" / "123456783_history"));
    EXPECT_FALSE(fs::exists(data / "Tables" / "retrieval-journal.txt"));

    // Killed, it leaves the folder free: the command writes and keeps what it replaced.
    ::kill(first, SIGKILL);
    ::waitpid(first, nullptr, 0);
    const Outcome after = Shell(dir, std::string(SKARTINA_CLI) + " recalc " + Quoted(dir / "other.grd") + " " + Quoted(analysis));
    EXPECT_EQ(after.status, 0) << after.err;
    EXPECT_TRUE(Read(analysis) != saved);
    int kept = 0;
    for (const auto& entry : fs::directory_iterator(data / "Tables" / "123456783_history")) {
        EXPECT_TRUE(Read(entry.path()) == saved);
        ++kept;
    }
    EXPECT_EQ(kept, 1);
    fs::remove_all(dir);
}

TEST(OneProgram, AStartWhileACommandWritesInTheFolderIsRefusedAndTold) {
    const auto [dir, data] = MakeDataFolder();
    // The folder held as a command of skartina-cli holds it while it writes.
    std::optional<DataFolderLock> command = DataFolderLock::Take(data, "το skartina-cli retrieve-clients");
    ASSERT_TRUE(command.has_value());
    const std::string holder = DataFolderLock::HolderOf(data);

    const fs::path said = dir / "said.txt";
    const pid_t refused = StartProgram(data, said);
    ASSERT_GT(refused, 0);
    const std::string sentence =
        "Ο φάκελος δεδομένων «" + data.string() + "» χρησιμοποιείται ήδη από το skartina-cli retrieve-clients, διεργασία " +
        std::to_string(::getpid()) + ": το ΣΚΑΡΤΙΝΑ δεν ανοίγει δεύτερη φορά στον ίδιο φάκελο· ανοίξτε το όταν τελειώσει.";
    bool told = false;
    for (int i = 0; i < 300 && !told; ++i) {
        told = Read(said).find(sentence) != std::string::npos;
        if (!told) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_TRUE(told) << Read(said);
    // The same sentence waits in a message for the user (a start that called a window would have ended),
    // and the command keeps the folder.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(::waitpid(refused, nullptr, WNOHANG), 0);
    EXPECT_EQ(DataFolderLock::HolderOf(data), holder);
    EXPECT_EQ(fs::directory_iterator(data / "Tables"), fs::directory_iterator());
    ::kill(refused, SIGKILL);
    ::waitpid(refused, nullptr, 0);

    // The command done, the program starts.
    command.reset();
    const pid_t started = StartProgram(data);
    ASSERT_GT(started, 0);
    EXPECT_TRUE(HolderSays(data, "το παράθυρο του ΣΚΑΡΤΙΝΑ, διεργασία " + std::to_string(started)));
    ::kill(started, SIGKILL);
    ::waitpid(started, nullptr, 0);
    fs::remove_all(dir);
}

}  // namespace
