// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/TextFile.h"
#include "sheet/AnalysisFile.h"
#include "sheet/AnalysisHistory.h"
#include "sheet/SheetLayout.h"
#include "support/TestSupport.h"
#include "support/SheetGridForms.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace skartina {
namespace {

using test::ReadBytes;
using test::TempDir;

SheetGrid SheetWith(const std::string& amount) {
    SheetGrid grid;
    BuildSheetLayout(grid, YearSelection());
    grid.setCell(1, 5, amount);
    return grid;
}

mode_t ModeOf(const std::filesystem::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 0777;
}

TEST(AnalysisHistory, EachReplacedVersionIsKeptTheNewestTen) {
    TempDir dir;
    const auto file = AnalysisFilePath(dir.path(), "123456783", "2021");
    auto time = std::chrono::system_clock::from_time_t(1'700'000'000);

    SaveGridKeepingHistory(SheetWith("1,00"), dir.path(), "123456783", file, time);
    EXPECT_TRUE(KeptVersions(dir.path(), "123456783").empty());  // nothing was replaced

    std::vector<std::string> saved = {ReadBytes(file)};
    for (int i = 2; i <= 13; ++i) {
        time += std::chrono::seconds(1);
        SaveGridKeepingHistory(SheetWith(std::to_string(i) + ",00"), dir.path(), "123456783", file, time);
        saved.push_back(ReadBytes(file));
        // The same sheet again: the file stays, no version is kept.
        SaveGridKeepingHistory(SheetWith(std::to_string(i) + ",00"), dir.path(), "123456783", file, time);
    }
    const auto versions = KeptVersions(dir.path(), "123456783");
    ASSERT_EQ(versions.size(), kKeptVersions);
    // Newest first: the sheets 12, 11, ... 3 (the file holds 13).
    for (size_t i = 0; i < versions.size(); ++i) EXPECT_EQ(ReadBytes(versions[i]), saved[11 - i]) << i;
    EXPECT_EQ(ReadBytes(file), saved.back());
    EXPECT_EQ(ModeOf(HistoryFolder(dir.path(), "123456783")), 0700u);
    EXPECT_EQ(ModeOf(versions.front()), 0600u);
    EXPECT_EQ(versions.front().parent_path().filename(), "123456783_history");
    EXPECT_EQ(VersionTimeText(versions.front()).size(), std::string("2023-11-14 22:13:32").size());

    SheetGrid back;
    ASSERT_TRUE(LoadGridFromFile(versions.front(), back));
    EXPECT_EQ(back.cell(1, 5), "12,00");
}

TEST(AnalysisHistory, TwoSavesInOneMillisecondKeepTwoVersions) {
    TempDir dir;
    const auto file = dir / "123456783_2021.grd";
    const auto time = std::chrono::system_clock::from_time_t(1'700'000'000);
    for (const char* amount : {"1,00", "2,00", "3,00"}) SaveGridKeepingHistory(SheetWith(amount), dir.path(), "123456783", file, time);
    EXPECT_EQ(KeptVersions(dir.path(), "123456783").size(), 2u);
}

TEST(AnalysisHistory, ASheetThatCannotBeWrittenKeepsNoVersionAndLeavesTheFile) {
    TempDir dir;
    const auto file = dir / "123456783_2021.grd";
    SaveGridKeepingHistory(SheetWith("1,00"), dir.path(), "123456783", file);
    const std::string before = ReadBytes(file);
    EXPECT_THROW(SaveGridKeepingHistory(SheetWith("Иван"), dir.path(), "123456783", file), AnalysisFileError);
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_TRUE(KeptVersions(dir.path(), "123456783").empty());
}

}  // namespace
}  // namespace skartina
