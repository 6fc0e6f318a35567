// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ClientFiles.h"
#include "common/TextFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <optional>
#include <csignal>
#include <unistd.h>

namespace skartina {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

TEST(TextFile, WritesWindows1253WithCrLf) {
    TempDir dir;
    WriteCp1253Lines(dir / "a.txt", {"Έτος", "", "5.000€"});
    EXPECT_EQ(ReadBytes(dir / "a.txt"), "\xB8\xF4\xEF\xF2\r\n\r\n5.000\x80\r\n");
    EXPECT_EQ(ReadCp1253Lines(dir / "a.txt"), (std::vector<std::string>{"Έτος", "", "5.000€"}));
    EXPECT_EQ(test::FolderNames(dir.path()), std::vector<std::string>{"a.txt"});
}

TEST(TextFile, ReadsCrLfBareLfAndAnUnendedLastLine) {
    TempDir dir;
    WriteBytes(dir / "a.txt", "one\r\ntwo\nthree\r\n\r\nlast");
    EXPECT_EQ(ReadCp1253Lines(dir / "a.txt"), (std::vector<std::string>{"one", "two", "three", "", "last"}));
}

TEST(TextFile, NamesTheLineOfAByteWithoutCharacter) {
    TempDir dir;
    WriteBytes(dir / "a.txt", "ok\r\nbad \xAA\r\n");  // 0xAA has no character in Windows-1253
    try {
        ReadCp1253Lines(dir / "a.txt");
        FAIL() << "read an undefined byte";
    } catch (const LineEncodingError& e) {
        EXPECT_EQ(e.line(), 1u);
    }
}

TEST(TextFile, RefusesUnstorableTextAndLeavesTheOldFile) {
    TempDir dir;
    WriteCp1253Lines(dir / "a.txt", {"old"});
    const struct {
        std::vector<std::string> lines;
        size_t badLine;
    } cases[] = {
        {{"fine", "漢字"}, 1},
        {{"two\nlines"}, 0},
        {{"a", "b", "carriage\rreturn"}, 2},
    };
    for (const auto& c : cases) {
        try {
            WriteCp1253Lines(dir / "a.txt", c.lines);
            FAIL() << "wrote " << c.lines.back();
        } catch (const LineEncodingError& e) {
            EXPECT_EQ(e.line(), c.badLine);
        }
        EXPECT_EQ(ReadBytes(dir / "a.txt"), "old\r\n");
    }
    EXPECT_EQ(test::FolderNames(dir.path()), std::vector<std::string>{"a.txt"});
}

TEST(TextFile, ReportsAFolderThatCannotBeWritten) {
    TempDir dir;
    EXPECT_THROW(WriteCp1253Lines(dir / "missing" / "a.txt", {"x"}), FileError);
    EXPECT_THROW(ReadCp1253Lines(dir / "missing.txt"), FileError);
}

TEST(TextFile, OwnerOnlyFilesAreReadableByTheOwnerAlone) {
    TempDir dir;
    WriteCp1253Lines(dir / "secret.txt", {"x"}, FileAccess::OwnerOnly);
    struct stat st {};
    ASSERT_EQ(::stat((dir / "secret.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(TextFile, AFileWrittenByNameReplacesTheTargetOnlyWhenComplete) {
    TempDir dir;
    WriteCp1253Lines(dir / "book.xlsx", {"old"});
    EXPECT_THROW(ReplaceFileWith(dir / "book.xlsx",
                                 [](const std::filesystem::path& temporary) {
                                     WriteBytes(temporary, "half");
                                     throw std::runtime_error("the library failed");
                                 }),
                 std::runtime_error);
    EXPECT_EQ(ReadBytes(dir / "book.xlsx"), "old\r\n");
    EXPECT_EQ(test::FolderNames(dir.path()), std::vector<std::string>{"book.xlsx"});

    std::filesystem::path written;
    ReplaceFileWith(
        dir / "book.xlsx",
        [&](const std::filesystem::path& temporary) {
            written = temporary;
            WriteBytes(temporary, "new");
        },
        FileAccess::OwnerOnly);
    EXPECT_EQ(written.parent_path(), dir.path());  // beside the target, so the rename cannot cross disks
    EXPECT_EQ(ReadBytes(dir / "book.xlsx"), "new");
    struct stat st {};
    ASSERT_EQ(::stat((dir / "book.xlsx").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(test::FolderNames(dir.path()), std::vector<std::string>{"book.xlsx"});
    EXPECT_THROW(ReplaceFileWith(dir / "missing" / "a.xlsx", [](const std::filesystem::path&) {}), FileError);
}

// A save killed before its rename leaves its temporary file behind.
std::string KilledSaveTemporary(const std::filesystem::path& target) {
    const pid_t child = ::fork();
    if (child == 0) {
        AtomicFileWriter writer(target);
        writer.write("half a file");
        ::kill(::getpid(), SIGKILL);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    for (const auto& name : test::FolderNames(target.parent_path()))
        if (name.find(".tmp-") != std::string::npos && name.find("-" + std::to_string(child) + "-") != std::string::npos)
            return name;
    return {};
}

void SetAge(const std::filesystem::path& path, std::chrono::hours age) {
    std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() - age);
}

TEST(StaleTemporaryFiles, ThoseOfAGoneWriterOrOlderThanADayAreRemovedOthersStay) {
    TempDir dir;
    const std::string killed = KilledSaveTemporary(dir / "1_2021.grd");
    ASSERT_FALSE(killed.empty());
    WriteBytes(dir / "2_2021.grd.tmp-AbC123", "older name, a day old");
    SetAge(dir / "2_2021.grd.tmp-AbC123", std::chrono::hours(25));
    WriteBytes(dir / "3_2021.grd.tmp-elsewhere-12-AbC123", "another machine's, a day old");
    SetAge(dir / "3_2021.grd.tmp-elsewhere-12-AbC123", std::chrono::hours(25));
    // Kept: a running writer's (this process), a fresh one of another machine or of an older name,
    // a folder, and files that are no temporary files at all.
    AtomicFileWriter running(dir / "4_2021.grd");
    WriteBytes(dir / "5_2021.grd.tmp-elsewhere-12-AbC123", "fresh");
    WriteBytes(dir / "6.cst.tmp-XyZ789", "fresh");
    std::filesystem::create_directory(dir / "7.grd.tmp-dir");
    SetAge(dir / "7.grd.tmp-dir", std::chrono::hours(25));
    WriteBytes(dir / "8_2021.grd", "data");
    SetAge(dir / "8_2021.grd", std::chrono::hours(25));
    WriteBytes(dir / ".tmp-x", "no target");
    SetAge(dir / ".tmp-x", std::chrono::hours(25));
    const auto before = test::FolderNames(dir.path());

    std::vector<std::string> removed = RemoveStaleTemporaryFiles(dir.path());
    std::sort(removed.begin(), removed.end());
    EXPECT_EQ(removed, (std::vector<std::string>{killed, "2_2021.grd.tmp-AbC123", "3_2021.grd.tmp-elsewhere-12-AbC123"}));
    std::vector<std::string> left = before;
    std::erase_if(left, [&](const std::string& n) { return std::find(removed.begin(), removed.end(), n) != removed.end(); });
    EXPECT_EQ(test::FolderNames(dir.path()), left);
    EXPECT_TRUE(RemoveStaleTemporaryFiles(dir / "missing").empty());
}

// The folder is swept once per run (start-up, the start of a batch), never by
// each write: a write that read the folder would make a batch quadratic.
TEST(StaleTemporaryFiles, AWriteLeavesTheFolderToTheSweep) {
    TempDir dir;
    const std::string mine = KilledSaveTemporary(dir / "a.grd");
    ASSERT_FALSE(mine.empty());
    WriteCp1253Lines(dir / "a.grd", {"x"});
    EXPECT_EQ(test::FolderNames(dir.path()), (std::vector<std::string>{"a.grd", mine}));
    EXPECT_EQ(RemoveStaleTemporaryFiles(dir.path()), std::vector<std::string>{mine});
}

TEST(TextFile, ReadsOnlyRegularFilesWithinTheLimit) {
    TempDir dir;
    WriteBytes(dir / "ok.txt", "12345");
    EXPECT_EQ(ReadFileBytes(dir / "ok.txt", {5, false}), "12345");
    std::filesystem::create_symlink(dir / "ok.txt", dir / "link.txt");
    EXPECT_EQ(ReadFileBytes(dir / "link.txt", {5, true}), "12345");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    const struct {
        const char* name;
        ReadLimits limits;
        const char* reason;
    } refused[] = {
        {"ok.txt", {4, true}, "μεγαλύτερο από"},
        {"link.txt", {5, false}, "σύνδεσμος"},
        {"fifo", {5, true}, "FIFO"},
        {".", {5, true}, "φάκελος"},
        {"missing", {5, true}, "δεν υπάρχει"},
    };
    for (const auto& r : refused) {
        try {
            ReadFileBytes(dir / r.name, r.limits);
            ADD_FAILURE() << r.name << " was read";
        } catch (const FileError& e) {
            EXPECT_NE(std::string(e.what()).find(r.reason), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(ReadFileBytes("/proc/self/status", {8, true}), FileError);  // says size 0, holds more
}

unsigned ModeOf(const std::filesystem::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 0777 : 0;
}

// Made, narrowed or refused: the data folder is never open to other users,
// and never one another user could have planted or could change.
TEST(ClientFiles, TheDataFolderIsUsedOnlyWhenItIsTheUsersOwn) {
    enum class Kind { None, Folder, Foreign, LinkToOwn, File };
    struct Case {
        const char* name;
        Kind kind;
        int mode;  // of the folder there before
        bool create;
        std::optional<TablesFolderChange> change;  // nullopt: refused
        unsigned after;  // the mode left; 0: no folder
        const char* reason = "";
    };
    const std::vector<Case> cases = {
        {"missing, made whatever the umask", Kind::None, 0, true, TablesFolderChange::Created, 0700},
        {"missing, only looked at", Kind::None, 0, false, TablesFolderChange::Missing, 0},
        {"readable by all, narrowed", Kind::Folder, 0755, false, TablesFolderChange::Tightened, 0700},
        {"readable by the group, narrowed", Kind::Folder, 0750, true, TablesFolderChange::Tightened, 0700},
        {"already private", Kind::Folder, 0700, true, TablesFolderChange::None, 0700},
        {"writable by the group", Kind::Folder, 0770, true, std::nullopt, 0770, "(δικαιώματα 0770)"},
        {"writable by all", Kind::Folder, 0757, true, std::nullopt, 0757, "(δικαιώματα 0757)"},
        {"another user's", Kind::Foreign, 0700, true, std::nullopt, 0700, "άλλον χρήστη (UID 65534)"},
        {"a link to a folder of the user's", Kind::LinkToOwn, 0700, true, std::nullopt, 0700, "σύνδεσμος"},
        {"a file", Kind::File, 0600, true, std::nullopt, 0600, "δεν είναι φάκελος"},
    };
    const mode_t umaskBefore = ::umask(0277);
    for (const Case& c : cases) {
        TempDir dir;
        const std::filesystem::path tables = dir / "Tables";
        const std::filesystem::path real = c.kind == Kind::LinkToOwn ? dir / "mine" : tables;
        if (c.kind == Kind::File) WriteBytes(tables, "a file in the folder's place");
        else if (c.kind != Kind::None) std::filesystem::create_directory(real);
        if (c.kind != Kind::None) ASSERT_EQ(::chmod(real.c_str(), static_cast<mode_t>(c.mode)), 0);
        if (c.kind == Kind::Foreign) ASSERT_EQ(::chown(tables.c_str(), 65534, 65534), 0) << "the test needs root";
        if (c.kind == Kind::LinkToOwn) std::filesystem::create_directory_symlink(real, tables);
        if (c.change) {
            EXPECT_EQ(MakeTablesFolderPrivate(tables, c.create), *c.change) << c.name;
        } else {
            try {
                MakeTablesFolderPrivate(tables, c.create);
                ADD_FAILURE() << c.name << ": used";
            } catch (const FileError& e) {
                const std::string what = e.what();
                EXPECT_NE(what.find("«" + tables.string() + "»"), std::string::npos) << what;
                EXPECT_NE(what.find(c.reason), std::string::npos) << c.name << ": " << what;
                EXPECT_EQ(std::count(what.begin(), what.end(), '.'), 1) << "one sentence: " << what;
            }
        }
        EXPECT_EQ(ModeOf(real), c.after) << c.name;
    }
    ::umask(umaskBefore);
}

// Every file the program writes is its owner's alone, whatever the umask.
TEST(TextFile, EveryFileIsTheOwnersAloneWhateverTheUmask) {
    TempDir dir;
    for (const mode_t mask : {0000, 0022, 0277}) {
        const mode_t before = ::umask(mask);
        WriteCp1253Lines(dir / "marker.ini", {"x"});
        AtomicFileWriter program(dir / "Setup.exe");
        program.write("MZ");
        program.commit(FileAccess::Executable);
        ::umask(before);
        EXPECT_EQ(ModeOf(dir / "marker.ini"), 0600u) << std::oct << mask;
        EXPECT_EQ(ModeOf(dir / "Setup.exe"), 0700u) << std::oct << mask;
    }
}

// A save that fails, or is killed, at any step of the atomic write (the
// bytes, the mode, the file's flush, the rename, the folder's flush) leaves
// the old file or the new one, whole: the system calls of a real save are
// made to fail, or to kill it, by strace.
TEST(TextFile, ASaveFailingOrKilledAtAnyStepLeavesTheOldFileOrTheNewOne) {
    TempDir dir;
    const auto cli = [&](const std::string& prefix, const std::string& args) {
        const std::string command = "cd " + dir.path().string() + " && " + prefix + SKARTINA_CLI + " " + args +
                                    " >/dev/null 2>err.txt";
        return std::system(command.c_str());
    };
    ASSERT_EQ(cli("", "new in.grd"), 0);
    ASSERT_EQ(cli("", "new old.grd --first-year 2010"), 0);
    ASSERT_EQ(cli("", "recalc in.grd new.grd"), 0);
    const std::string before = ReadBytes(dir / "old.grd"), after = ReadBytes(dir / "new.grd");
    ASSERT_NE(before, after);

    struct Step {
        const char* name;
        const char* calls;
        int when;  // which call of them
        bool replaced;  // whether the new file is in place after a failure there
    };
    const Step steps[] = {
        {"the bytes", "write", 1, false},
        {"the mode", "fchmod", 1, false},
        {"the file's flush", "fsync", 1, false},
        {"the rename", "rename,renameat,renameat2", 1, false},
        {"the folder's flush", "fsync", 2, true},
    };
    for (const Step& step : steps) {
        for (const std::string fault : {"error=EIO", "signal=KILL"}) {
            const std::string what = std::string(step.name) + ", " + fault;
            std::filesystem::copy_file(dir / "old.grd", dir / "out.grd", std::filesystem::copy_options::overwrite_existing);
            RemoveStaleTemporaryFiles(dir.path());  // what a killed save left, as the next start-up does
            const std::string strace = "strace -f -qq -o /dev/null -e inject=" + std::string(step.calls) + ":" + fault +
                                       ":when=" + std::to_string(step.when) + " ";
            const int status = cli(strace, "recalc in.grd out.grd");
            EXPECT_NE(status, 0) << what << ": the fault was not met";
            const std::string out = ReadBytes(dir / "out.grd");
            EXPECT_TRUE(out == before || out == after) << what << ": a torn file of " << out.size() << " bytes";
            if (fault == "error=EIO") {
                EXPECT_EQ(out, step.replaced ? after : before) << what;
                EXPECT_NE(ReadBytes(dir / "err.txt").find("Αδυναμία εγγραφής του αρχείου «out.grd»"), std::string::npos)
                    << what << ": " << ReadBytes(dir / "err.txt");
                for (const std::string& name : test::FolderNames(dir.path()))
                    EXPECT_EQ(name.find(".tmp-"), std::string::npos) << what << ": left " << name;
            }
        }
    }
}

TEST(ClientFiles, KeepsEveryClientFileInsideTheDataFolder) {
    EXPECT_EQ(ClientFilePath("Tables", "123456783", "_2021.grd"), std::filesystem::path("Tables/123456783_2021.grd"));
    EXPECT_EQ(ClientFilePath("Tables", "EL 99", ".cst"), std::filesystem::path("Tables/EL 99.cst"));
    for (const char* taxNumber : {"", "..", "../etc", "a/b", "a\\b", "/abs", "x..y", "a:b", "a*b", "tab\there",
                            "12_3456783", "_"})
        EXPECT_THROW(ClientFilePath("Tables", taxNumber, ".cst"), ClientNameError) << taxNumber;
    // The analysis list reads the tax number back up to the first "_": the reason says so.
    EXPECT_NE(TaxNumberFileNameProblem("12_3456783").find("«_»"), std::string::npos);
    // Too long for a file name: refused up front, in Greek, not by the system.
    EXPECT_NE(TaxNumberFileNameProblem(std::string(300, '1')).find("πολύ μεγάλος"), std::string::npos);
    EXPECT_EQ(TaxNumberFileNameProblem(std::string(kMaxTaxNumberBytes, '1')), "");
    TempDir dir;
    WriteCp1253Lines(ClientFilePath(dir.path(), std::string(kMaxTaxNumberBytes, '1'), "_2021.xlsx"), {"fits"});
}

}  // namespace
}  // namespace skartina
