// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/AnalysisConversion.h"
#include "common/TextFile.h"
#include "sheet/AnalysisFile.h"
#include "sheet/Recalculate.h"
#include "sheet/SheetLayout.h"
#include "sheet/SheetRows.h"
#include "support/TestSupport.h"
#include "support/SheetGridForms.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>

namespace skartina {
namespace {

using test::FolderNames;
using test::ReadBytes;
using test::TempDir;

struct DataFolder {
    DataFolder() { std::filesystem::create_directory(tables); }
    void put(const std::string& name, const std::vector<std::string>& lines) const {
        WriteCp1253Lines(tables / name, lines);
    }
    std::vector<std::string> read(const std::string& name) const { return ReadCp1253Lines(tables / name); }
    TempDir root;
    std::filesystem::path tables = root.path() / "Tables";
};

TEST(AnalysisConversion, InsertsThe2020PairAfterTheCaptionColumn) {
    DataFolder data;
    const std::vector<std::string> source = {"3", "4", "c0", "c1", "c2", "c3", "a0", "a1", "a2", "a3",
                                             "b0", "b1", "b2", "b3"};
    data.put("A_2020.grd", source);
    const ConversionReport report = ConvertAnalysisFiles(data.tables);

    EXPECT_EQ(report.converted, std::vector<std::string>{"A_2021.grd"});
    EXPECT_TRUE(report.failed.empty());
    EXPECT_EQ(data.read("A_2021.grd"),
              (std::vector<std::string>{"5", "4", "c0", "c1", "c2", "c3", "_2020_", "Υπόχρεου", "", "", "",
                                        "Συζύγου", "", "", "a0", "a1", "a2", "a3", "b0", "b1", "b2", "b3"}));
    EXPECT_EQ(data.read("A_2020.grd"), source);
    EXPECT_EQ(ReadBytes(data.tables / "Conver2021Done.txt"), "OK\r\n");
}

TEST(AnalysisConversion, RunsOnceAndNeverReplacesThisYearsFiles) {
    DataFolder data;
    data.put("A_2020.grd", {"3", "1", "x", "y", "z"});
    data.put("A_2021.grd", {"keep"});
    data.put("X_2020_2020.grd", {"3", "1", "x", "y", "z"});
    data.put("B_2019.grd", {"3", "1", "x", "y", "z"});
    data.put("C_2020.txt", {"3", "1", "x", "y", "z"});
    const ConversionReport first = ConvertAnalysisFiles(data.tables);
    EXPECT_EQ(first.converted, std::vector<std::string>{"X_2021_2021.grd"});
    EXPECT_EQ(first.keptExisting, std::vector<std::string>{"A_2021.grd"});
    EXPECT_EQ(data.read("A_2021.grd"), std::vector<std::string>{"keep"});

    data.put("D_2020.grd", {"3", "1", "x", "y", "z"});
    const ConversionReport second = ConvertAnalysisFiles(data.tables);
    EXPECT_TRUE(second.alreadyDone);
    EXPECT_EQ(FolderNames(data.tables),
              (std::vector<std::string>{"A_2020.grd", "A_2021.grd", "B_2019.grd", "C_2020.txt", "Conver2021Done.txt",
                                        "D_2020.grd", "X_2020_2020.grd", "X_2021_2021.grd"}));
}

TEST(AnalysisConversion, SkipsDamagedFilesAndTriesThemAgainAtTheNextStart) {
    DataFolder data;
    data.put("Bad_2020.grd", {"many", "40"});
    test::WriteBytes(data.tables / "Undecodable_2020.grd", "3\r\n1\r\n\xFF\r\n");
    data.put("Good_2020.grd", {"3", "1", "x", "y", "z"});
    const ConversionReport report = ConvertAnalysisFiles(data.tables);
    EXPECT_EQ(report.converted, std::vector<std::string>{"Good_2021.grd"});
    ASSERT_EQ(report.failed.size(), 2u);
    EXPECT_EQ(report.failed[0].rfind("Bad_2020.grd: ", 0), 0u) << report.failed[0];
    EXPECT_FALSE(report.markerWritten);
    EXPECT_FALSE(std::filesystem::exists(data.tables / kConversionMarker));
    EXPECT_FALSE(std::filesystem::exists(data.tables / "Bad_2021.grd"));
    EXPECT_TRUE(std::filesystem::exists(data.tables / "Bad_2020.grd"));  // left in place
    // One message names every file left behind and why.
    const std::string told = ConversionMessage(report);
    EXPECT_NE(told.find("• Bad_2020.grd: "), std::string::npos) << told;
    EXPECT_NE(told.find("• Undecodable_2020.grd: "), std::string::npos) << told;
    EXPECT_NE(told.find("επόμενη εκκίνηση"), std::string::npos) << told;

    // Mended at the next start: converted then, the file converted before kept.
    data.put("Bad_2020.grd", {"3", "1", "a", "b", "c"});
    std::filesystem::remove(data.tables / "Undecodable_2020.grd");
    const ConversionReport next = ConvertAnalysisFiles(data.tables);
    EXPECT_EQ(next.converted, std::vector<std::string>{"Bad_2021.grd"});
    EXPECT_EQ(next.keptExisting, std::vector<std::string>{"Good_2021.grd"});
    EXPECT_TRUE(next.failed.empty());
    EXPECT_TRUE(next.markerWritten);
    EXPECT_EQ(ConversionMessage(next), "");
}

TEST(AnalysisConversion, AFileCutShortKeepsWhatItHoldsAndTheRestReadsEmpty) {
    DataFolder data;
    // 3 columns of 2 rows; the file ends in the middle of its last column.
    test::WriteBytes(data.tables / "Cut_2020.grd", "3\r\n2\r\nA\r\nB\r\n_2019_\r\nY\r\n1.234,00\r\n5.6");
    const ConversionReport report = ConvertAnalysisFiles(data.tables);
    EXPECT_EQ(report.converted, std::vector<std::string>{"Cut_2021.grd"});
    ASSERT_EQ(report.completed.size(), 1u);
    EXPECT_EQ(report.completed[0], "Cut_2020.grd: έλειπε 1 κελί στο τέλος του (κομμένο αρχείο)· μεταφέρθηκαν κενά");
    EXPECT_TRUE(report.markerWritten);
    SheetGrid grid;
    ASSERT_TRUE(LoadGridFromFile(data.tables / "Cut_2021.grd", grid));
    EXPECT_EQ(grid.columnCount(), 5);
    EXPECT_EQ(grid.cell(3, 0), "_2019_");
    EXPECT_EQ(grid.cell(4, 0), "1.234,00");
    EXPECT_EQ(grid.cell(4, 1), "");  // the cut "5.6" is never taken for an amount
}

TEST(AnalysisConversion, ConvertsOnlyWhatTheLoaderAcceptsAndWritesOnlyWhatThisEditionOpens) {
    DataFolder data;
    auto sheet = [](int columns, int rows) {
        std::vector<std::string> lines = {std::to_string(columns), std::to_string(rows)};
        lines.resize(2 + static_cast<size_t>(columns) * static_cast<size_t>(rows), "x");
        return lines;
    };
    std::vector<std::string> shifted = sheet(3, 2);
    shifted.push_back("one line too many");
    std::vector<std::string> cut = sheet(3, 2);
    cut.pop_back();
    const struct {
        const char* name;
        std::vector<std::string> lines;
        bool converted;
    } cases[] = {
        {"Rows0_2020.grd", {"3", "0"}, false},
        {"Even_2020.grd", sheet(4, 1), false},
        {"Wide_2020.grd", sheet(201, 1), false},  // 203 columns once converted: more than this edition opens
        {"Widest_2020.grd", sheet(199, 1), true},
        {"Shifted_2020.grd", shifted, false},
        {"Cut_2020.grd", cut, true},  // the missing cell reads empty
        {"OneRow_2020.grd", sheet(3, 1), true},
        {"Tall_2020.grd", sheet(3, 45), true},
    };
    for (const auto& c : cases) data.put(c.name, c.lines);
    test::WriteBytes(data.tables / "Unended_2020.grd", "3\r\n1\r\nx\r\ny\r\nz");
    std::filesystem::create_directory(data.tables / "Folder_2020.grd");
    std::filesystem::create_symlink(data.tables / "OneRow_2020.grd", data.tables / "Link_2020.grd");
    ASSERT_EQ(::mkfifo((data.tables / "Fifo_2020.grd").c_str(), 0600), 0);

    const ConversionReport report = ConvertAnalysisFiles(data.tables);
    std::vector<std::string> converted, failed;
    for (const auto& c : cases) (c.converted ? converted : failed).push_back(c.name);
    converted.push_back("Unended_2020.grd");  // its cut last line reads empty
    for (const char* name : {"Folder_2020.grd", "Link_2020.grd", "Fifo_2020.grd"}) failed.push_back(name);
    std::vector<std::string> reportedConverted = report.converted, reportedFailed;
    for (const auto& f : report.failed) reportedFailed.push_back(f.substr(0, f.find(':')));
    for (auto* v : {&converted, &failed, &reportedConverted, &reportedFailed}) std::sort(v->begin(), v->end());
    for (auto& name : converted) name.replace(name.find("_2020"), 5, "_2021");
    EXPECT_EQ(reportedConverted, converted);
    EXPECT_EQ(reportedFailed, failed);
    EXPECT_EQ(report.completed.size(), 2u);
    EXPECT_FALSE(report.markerWritten);

    // Every file written opens in this edition, readable by its owner alone; nothing else was written.
    for (const auto& name : converted) {
        SheetGrid grid;
        EXPECT_TRUE(LoadGridFromFile(data.tables / name, grid)) << name;
        EXPECT_EQ(std::filesystem::status(data.tables / name).permissions() & std::filesystem::perms::all,
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    }
    for (const auto& name : FolderNames(data.tables)) {
        if (name.find("_2021") != std::string::npos) {
            EXPECT_NE(std::find(converted.begin(), converted.end(), name), converted.end()) << name;
        }
    }
}

TEST(AnalysisConversion, WithoutADataFolderNothingIsWritten) {
    TempDir root;
    const ConversionReport report = ConvertAnalysisFiles(root.path() / "Tables");
    EXPECT_TRUE(report.tablesMissing);
    EXPECT_FALSE(report.markerWritten);
    EXPECT_TRUE(FolderNames(root.path()).empty());
}

TEST(AnalysisConversion, LastEditionsSheetOpensAsThisEditionsLayout) {
    // Last edition's sheet of 2003 to 2019: this edition's sheet without 2020.
    DataFolder data;
    YearSelection years;
    SheetGrid current;
    BuildSheetLayout(current, years);
    SheetGrid last(current.columnCount() - 2, kSheetRows);
    for (int c = 0; c < last.columnCount(); ++c)
        for (int r = 0; r < kSheetRows; ++r) last.setCell(c, r, current.cell(c == 0 ? 0 : c + 2, r));
    last.setCell(TaxpayerColumnOf(2019) - 2, Row::TaxedIncome, "4.000,00");
    SaveGridToFile(last, data.tables / "123456783_2020.grd");

    ConvertAnalysisFiles(data.tables);
    SheetGrid opened;
    ASSERT_TRUE(LoadGridFromFile(data.tables / "123456783_2021.grd", opened));
    RecalculateSheet(opened);
    EXPECT_EQ(opened.columnCount(), 37);
    EXPECT_EQ(opened.cell(TaxpayerColumnOf(2020), 0), "_2020_");
    EXPECT_EQ(opened.cell(TaxpayerColumnOf(2019), 0), "_2019_");
    EXPECT_EQ(opened.cell(TaxpayerColumnOf(2019), Row::TaxedIncome), "4.000,00");
    // Each empty year up to 2011 carries the minimum of 2.900,00 as a deficit.
    EXPECT_EQ(opened.cell(TaxpayerColumnOf(2020), Row::FinalBalance), "-25.100,00");
}

}  // namespace
}  // namespace skartina
