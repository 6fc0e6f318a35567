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

}  // namespace
}  // namespace skartina
