// SPDX-License-Identifier: GPL-3.0-or-later
// One writer per data folder: the lock itself, a crashed holder, and
// skartina-cli refused while another process writes in the folder, with
// nothing lost; every analysis file a command replaces is kept.

#include "common/DataFolderLock.h"
#include "sheet/AnalysisFile.h"
#include "sheet/AnalysisHistory.h"
#include "sheet/SheetLayout.h"
#include "sheet/SheetRows.h"
#include "support/CliRunner.h"
#include "support/TestSupport.h"
#include "support/SheetGridForms.h"

#include <gtest/gtest.h>

#include <csignal>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace skartina {
namespace {

using test::Cli;
using test::Q;
using test::TempDir;

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(DataFolderLock, OneHolderAtATimeAndTheHolderIsNamed) {
    TempDir dir;
    {
        std::optional<DataFolderLock> first = DataFolderLock::Take(dir.path(), "το παράθυρο του ΣΚΑΡΤΙΝΑ");
        ASSERT_TRUE(first);
        // A second descriptor, even in the same process, is another holder.
        EXPECT_FALSE(DataFolderLock::Take(dir.path(), "το skartina-cli recalc"));
        EXPECT_EQ(DataFolderLock::HolderOf(dir.path()),
                  "το παράθυρο του ΣΚΑΡΤΙΝΑ, διεργασία " + std::to_string(::getpid()));
        struct stat info {};
        ASSERT_EQ(::stat((dir / kDataFolderLockName).c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
    }
    EXPECT_TRUE(DataFolderLock::Take(dir.path(), "το skartina-cli recalc"));
}

TEST(DataFolderLock, AHolderThatCrashesReleasesTheFolder) {
    TempDir dir;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::optional<DataFolderLock> held = DataFolderLock::Take(dir.path(), "το skartina-cli retrieve-clients");
        const char byte = held ? '1' : '0';
        [[maybe_unused]] const ssize_t sent = ::write(ready[1], &byte, 1);
        ::pause();  // killed here, the lock still held
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ASSERT_EQ(byte, '1');
    EXPECT_FALSE(DataFolderLock::Take(dir.path(), "το παράθυρο του ΣΚΑΡΤΙΝΑ"));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_TRUE(DataFolderLock::Take(dir.path(), "το παράθυρο του ΣΚΑΡΤΙΝΑ"));
}

SheetGrid SheetWith(const std::string& figure) {
    SheetGrid grid;
    BuildSheetLayout(grid, YearSelection());
    grid.setCell(TaxpayerColumnOf(2016), Row::TaxedIncome, figure);
    return grid;
}

TEST(DataFolderLock, ACommandIsRefusedWhileTheWindowHoldsTheFolderAndLosesNothing) {
    TempDir dir;
    const std::filesystem::path tables = dir / "Tables";
    std::filesystem::create_directory(tables);
    const std::filesystem::path analysis = tables / "123456783_2021.grd";
    SaveGridToFile(SheetWith("4.000,00"), analysis);
    const std::string saved = test::ReadBytes(analysis);
    const std::filesystem::path in = dir / "in.grd";
    SaveGridToFile(SheetWith("9,00"), in);
    test::WriteBytes(dir / "clients.csv", "ΑΦΜ;Επώνυμο\n100000090;ΝΕΟΣ\n");

    const std::string folder = std::filesystem::weakly_canonical(dir.path()).string();
    {
        std::optional<DataFolderLock> window = DataFolderLock::Take(folder, "το παράθυρο του ΣΚΑΡΤΙΝΑ");
        ASSERT_TRUE(window);
        const std::string told = "Ο φάκελος δεδομένων «" + folder + "» χρησιμοποιείται ήδη από το παράθυρο του ΣΚΑΡΤΙΝΑ, διεργασία " +
                                 std::to_string(::getpid());
        const std::string cd = "cd " + Q(dir.path()) + " && " + SKARTINA_CLI + " ";
        const std::string commands[] = {
            "recalc " + Q(in) + " " + Q(analysis),
            "new " + Q(dir / "Tables" / "100000090_2021.grd"),
            "import-clients " + Q(dir / "clients.csv"),
            "convert " + Q(dir.path()),
        };
        for (const std::string& args : commands) {
            const int raw = std::system((cd + args + " 2>" + Q(dir / "err.txt")).c_str());
            EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1) << args;
            EXPECT_TRUE(Contains(test::ReadBytes(dir / "err.txt"), told)) << test::ReadBytes(dir / "err.txt");
        }
        // The office run refuses before it reads or writes anything.
        const int raw = std::system((cd + "retrieve-clients 2>" + Q(dir / "err.txt")).c_str());
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1);
        EXPECT_TRUE(Contains(test::ReadBytes(dir / "err.txt"), told)) << test::ReadBytes(dir / "err.txt");
        EXPECT_TRUE(test::ReadBytes(analysis) == saved);
        EXPECT_FALSE(std::filesystem::exists(tables / "100000090.cst"));
        EXPECT_FALSE(std::filesystem::exists(tables / "retrieval-journal.txt"));
        EXPECT_TRUE(KeptVersions(tables, "123456783").empty());
    }
    // Once the window is gone the command writes, and the sheet it replaced is kept.
    const test::CliRun run = Cli(dir, "recalc " + Q(in) + " " + Q(analysis));
    EXPECT_EQ(run.status, 0) << run.err;
    const std::vector<std::filesystem::path> kept = KeptVersions(tables, "123456783");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_TRUE(test::ReadBytes(kept[0]) == saved);
    SheetGrid now;
    ASSERT_TRUE(LoadGridFromFile(analysis, now));
    EXPECT_EQ(now.cell(TaxpayerColumnOf(2016), Row::TaxedIncome), "9,00");
}

}  // namespace
}  // namespace skartina
