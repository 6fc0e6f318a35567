// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/TextFile.h"
#include "sheet/SheetRows.h"
#include "support/CliRunner.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace skartina {
namespace {

using test::Cli;
using test::CliRun;
using test::Q;
using test::ReadBytes;
using test::TempDir;

TEST(Cli, NewWritesTheSheetOfANewWindow) {
    TempDir dir;
    ASSERT_EQ(Cli(dir, "new " + Q(dir / "a.grd")).status, 0);
    const auto lines = ReadCp1253Lines(dir / "a.grd");
    ASSERT_EQ(lines.size(), 1482u);
    EXPECT_EQ(lines[2 + 40 + Row::MinimumLivingAmount], "3.000,00");

    ASSERT_EQ(Cli(dir, "new " + Q(dir / "b.grd") + " --first-year 1995 --married").status, 0);
    const auto wide = ReadCp1253Lines(dir / "b.grd");
    ASSERT_EQ(wide[0], "53");
    for (int spouse = 2; spouse < 53; spouse += 2) EXPECT_EQ(wide[2 + spouse * 40 + 1], "Συζύγου*") << spouse;
    EXPECT_EQ(wide[2 + 40 + Row::MinimumLivingAmount], "2.500,00");

    ASSERT_EQ(Cli(dir, "new " + Q(dir / "c.grd") + " --first-year 2015").status, 0);
    EXPECT_EQ(ReadCp1253Lines(dir / "c.grd")[0], "13");
}

TEST(Cli, BadUsageExitsWithTwo) {
    TempDir dir;
    for (const std::string args : {"", "frobnicate", "new", "new x.grd --first-year 1990", "new x.grd --first-year 2021",
                                   "new x.grd --first-year", "new x.grd --single", "recalc only-one.grd",
                                   "convert"}) {
        const CliRun run = Cli(dir, args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_FALSE(run.err.empty() && run.out.empty()) << args;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "x.grd"));
}

TEST(Cli, RecalcRebuildsTheComputedRowsAndReportsBadCells) {
    TempDir dir;
    ASSERT_EQ(Cli(dir, "new " + Q(dir / "a.grd") + " --first-year 2020").status, 0);
    auto lines = ReadCp1253Lines(dir / "a.grd");
    lines[2 + 40 + Row::TaxedIncome] = "5.000,00";
    WriteCp1253Lines(dir / "in.grd", lines);
    ASSERT_EQ(Cli(dir, "recalc " + Q(dir / "in.grd") + " " + Q(dir / "out.grd")).status, 0);
    EXPECT_EQ(ReadCp1253Lines(dir / "out.grd")[2 + 40 + Row::FinalBalance], "2.000,00");

    lines[2 + 40 + Row::TaxedIncome] = "πέντε";
    WriteCp1253Lines(dir / "bad.grd", lines);
    const CliRun bad = Cli(dir, "recalc " + Q(dir / "bad.grd") + " " + Q(dir / "never.grd"));
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("«πέντε»"), std::string::npos) << bad.err;
    EXPECT_NE(bad.err.find("2020 Υπόχρεου"), std::string::npos) << bad.err;
    EXPECT_EQ(std::count(bad.err.begin(), bad.err.end(), '\n'), 1) << bad.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "never.grd"));

    EXPECT_EQ(Cli(dir, "recalc " + Q(dir / "missing.grd") + " " + Q(dir / "never.grd")).status, 1);
    test::WriteBytes(dir / "junk.grd", "hello\r\n");
    EXPECT_EQ(Cli(dir, "recalc " + Q(dir / "junk.grd") + " " + Q(dir / "never.grd")).status, 1);
}

TEST(Cli, RecalcRefusesAFifoAFolderAndACutFileWithoutWaitingOrWriting) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "fifo.grd").c_str(), 0600), 0);
    std::filesystem::create_directory(dir / "folder.grd");
    ASSERT_EQ(Cli(dir, "new " + Q(dir / "a.grd")).status, 0);
    const std::string whole = test::ReadBytes(dir / "a.grd");
    test::WriteBytes(dir / "cut.grd", whole.substr(0, whole.size() / 2));
    for (const char* name : {"fifo.grd", "folder.grd", "cut.grd"}) {
        const CliRun run = Cli(dir, "recalc " + Q(dir / name) + " " + Q(dir / "never.grd"));
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir / "never.grd")) << name;
    }
    // What it writes only its owner reads.
    struct stat st {};
    ASSERT_EQ(::stat((dir / "a.grd").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(Cli, ConvertRunsTheYearlyConversionOfAFolder) {
    TempDir dir;
    std::filesystem::create_directory(dir / "Tables");
    WriteCp1253Lines(dir / "Tables" / "1_2020.grd", {"3", "1", "a", "b", "c"});
    const CliRun run = Cli(dir, "convert " + Q(dir.path()));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("1_2021.grd"), std::string::npos) << run.out;
    EXPECT_EQ(ReadCp1253Lines(dir / "Tables" / "1_2021.grd")[0], "5");
    EXPECT_EQ(Cli(dir, "convert " + Q(dir.path())).status, 0);  // already done
    EXPECT_EQ(Cli(dir, "convert " + Q(dir / "nowhere")).status, 1);
}

// A command never writes its output over one of its inputs, however the two
// are named: the input stays as it was and the exit status is 2.
TEST(Cli, AnOutputThatIsAnInputIsRefusedAndTheInputStays) {
    TempDir dir;
    ASSERT_EQ(Cli(dir, "new " + Q(dir / "a.grd")).status, 0);
    test::WriteBytes(dir / "codes.txt", "301 1000\n");
    std::filesystem::create_symlink(dir / "a.grd", dir / "link.grd");
    std::filesystem::create_hard_link(dir / "a.grd", dir / "hard.grd");
    const std::string before = test::ReadBytes(dir / "a.grd");
    const std::string a = Q(dir / "a.grd");
    const std::string other = Q(dir.path() / "." / "a.grd");
    const std::string cases[] = {
        "recalc " + a + " " + a,
        "recalc " + a + " " + other,
        "recalc " + a + " " + Q(dir / "link.grd"),
        "recalc " + a + " " + Q(dir / "hard.grd"),
        "csv " + a + " " + a,
        "xlsx " + a + " " + Q(dir / "link.grd"),
        "pdf " + a + " " + other,
        "year 2015 " + Q(dir / "codes.txt") + " " + a + " " + a,
        "year 2015 " + Q(dir / "codes.txt") + " " + a + " " + Q(dir / "codes.txt"),
        "import-report 2015 " + Q(dir / "codes.txt") + " " + a + " " + Q(dir / "codes.txt"),
        "retrieve 2016 " + a + " " + a + " --afm 123456783 --user demo",
        "retrieve-all " + a + " " + Q(dir / "link.grd") + " --afm 123456783 --user demo",
    };
    for (const auto& command : cases) {
        const CliRun run = Cli(dir, command + " </dev/null");
        EXPECT_EQ(run.status, 2) << command << "\n" << run.err;
        EXPECT_NE(run.err.find("είναι το αρχείο εισόδου"), std::string::npos) << run.err;
        EXPECT_EQ(test::ReadBytes(dir / "a.grd"), before) << command;
    }
    EXPECT_EQ(test::ReadBytes(dir / "codes.txt"), "301 1000\n");
    EXPECT_EQ(Cli(dir, "recalc " + a + " " + Q(dir / "b.grd")).status, 0);  // another file is written
}

// A tax number that is not nine digits with their check digit stops every
// command that takes one before it reads, prompts, starts a browser or writes.
TEST(Cli, APartialOrWrongTaxNumberIsRefusedBeforeAnythingRuns) {
    TempDir dir;
    // Without a password a retrieval that went on would ask on the terminal or fail otherwise.
    ::unsetenv("SKARTINA_PASSWORD");
    ASSERT_EQ(Cli(dir, "new " + Q(dir / "a.grd")).status, 0);
    const std::string a = Q(dir / "a.grd");
    const std::string b = Q(dir / "b.grd");
    for (const char* taxNumber : {"4567", "123456784", "000000000", "1234567830", "EL123456783", "' 123456783'", "''"}) {
        const std::string commands[] = {
            "retrieve 2016 " + a + " " + b + " --user demo --afm " + taxNumber,
            "retrieve-all " + a + " " + b + " --user demo --afm " + taxNumber,
            "csv " + a + " " + b + " --afm " + taxNumber,
            "xlsx " + a + " " + b + " --afm " + taxNumber,
            "pdf " + a + " " + b + " --afm " + taxNumber,
        };
        for (const auto& command : commands) {
            const CliRun run = Cli(dir, command + " </dev/null");
            EXPECT_EQ(run.status, 2) << command << "\n" << run.err;
            EXPECT_NE(run.err.find("δεν είναι σωστός"), std::string::npos) << command << "\n" << run.err;
            EXPECT_EQ(run.err.find("κωδικ"), std::string::npos) << "asked for a password: " << run.err;
            EXPECT_FALSE(std::filesystem::exists(dir / "b.grd")) << command;
        }
    }
}

}  // namespace
}  // namespace skartina
