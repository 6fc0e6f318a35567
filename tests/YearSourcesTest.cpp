// SPDX-License-Identifier: GPL-3.0-or-later
// The portal's documents kept for a client: where they go, who may read them,
// and that a return page's amounts read back as they were.

#include "support/TestSupport.h"
#include "common/ClientFiles.h"
#include "e1/CodeList.h"
#include "browser/StartUpTidy.h"
#include "portal/YearSources.h"
#include "registry/TaxpayerRecord.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <functional>

namespace skartina::test {
namespace {

unsigned Mode(const std::filesystem::path& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 0777;
}

TEST(YearSources, AreKeptOwnerOnlyBesideTheClientsFiles) {
    TempDir tables;
    const std::filesystem::path folder = SourcesFolder(tables.path(), "123456783");
    EXPECT_EQ(folder, tables.path() / "123456783_sources");
    // A folder made earlier with wider rights is narrowed.
    std::filesystem::create_directories(folder);
    std::filesystem::permissions(folder, std::filesystem::perms(0755));

    E1CodeTable e1;
    e1.set(301, 21350.75);
    e1.set(7, 1);
    e1.set(852, 0.1);
    const std::filesystem::path text = KeepReturnSource(folder, 2010, e1);
    const std::filesystem::path pdf = KeepReportSource(folder, 2016, std::string("%PDF-1.4\0\xff rest", 15));
    EXPECT_EQ(text, folder / "2010.txt");
    EXPECT_EQ(pdf, folder / "2016.pdf");
    EXPECT_EQ(Mode(folder), 0700u);
    EXPECT_EQ(Mode(text), 0600u);
    EXPECT_EQ(Mode(pdf), 0600u);
    EXPECT_EQ(ReadBytes(pdf), std::string("%PDF-1.4\0\xff rest", 15)) << "the bytes as given";

    E1CodeTable back;
    ReadCodeList(ReadBytes(text), back);
    for (int code = 0; code <= E1CodeTable::kLastCode; ++code) EXPECT_EQ(back[code], e1[code]) << code;
}

// Every way the program can make the data folder makes it for the owner alone,
// whatever the umask lets through; one made earlier with wider rights is narrowed.
TEST(YearSources, EveryPathThatMakesTheDataFolderMakesItPrivate) {
    struct Path {
        const char* name;
        std::function<void(const std::filesystem::path& tables)> make;
    };
    const std::vector<Path> paths = {
        {"a client's record", [](const auto& tables) {
             ScriptedPrompter yes(true);
             ASSERT_TRUE(SaveTaxpayer(tables, {"123456789", "Α", "Β", "", "user", "pass"}, yes));
         }},
        {"a report kept", [](const auto& tables) { KeepReportSource(SourcesFolder(tables, "123456789"), 2016, "%PDF-1.4"); }},
        {"a return kept", [](const auto& tables) { KeepReturnSource(SourcesFolder(tables, "123456789"), 2010, E1CodeTable()); }},
        {"a save or an export", [](const auto& tables) { MakeTablesFolderPrivate(tables); }},
    };
    const mode_t umaskBefore = umask(0);
    for (const Path& path : paths) {
        for (const int before : {0, 0777}) {
            TempDir dir;
            const std::filesystem::path tables = dir / "work" / "Tables";
            if (before) {
                std::filesystem::create_directories(tables);
                std::filesystem::permissions(tables, std::filesystem::perms(before));
            }
            path.make(tables);
            EXPECT_EQ(Mode(tables), 0700u) << path.name << (before ? ", there before" : ", made");
            if (std::filesystem::exists(tables / "123456789_sources"))
                EXPECT_EQ(Mode(tables / "123456789_sources"), 0700u) << path.name;
        }
    }
    umask(umaskBefore);
}

// At start-up: the data folder narrowed, and the leftovers of killed saves of
// documents removed, while a save still running keeps its file.
TEST(YearSources, StartUpNarrowsTheDataFolderAndRemovesKilledSavesOfDocuments) {
    TempDir dir;
    const std::filesystem::path tables = dir / "Tables";
    const std::filesystem::path sources = SourcesFolder(tables, "123456789");
    std::filesystem::create_directories(sources);
    std::filesystem::permissions(tables, std::filesystem::perms(0755));
    char host[256] = "";
    gethostname(host, sizeof host);
    const std::string killed = "2016.pdf.tmp-" + std::string(host) + "-4194999-AbC123";
    const std::string running = "2017.pdf.tmp-" + std::string(host) + "-" + std::to_string(getpid()) + "-AbC123";
    WriteBytes(sources / killed, "half a report");
    WriteBytes(sources / running, "a report being written");
    WriteBytes(sources / "2015.pdf", "%PDF-1.4");

    const StartUpTidy tidy = TidyAtStartUp(tables);
    EXPECT_TRUE(tidy.tablesTightened);
    EXPECT_EQ(Mode(tables), 0700u);
    EXPECT_EQ(tidy.removed, std::vector<std::string>{"123456789_sources/" + killed});
    EXPECT_EQ(FolderNames(sources), (std::vector<std::string>{"2015.pdf", running}));
    EXPECT_FALSE(TidyAtStartUp(tables).tablesTightened) << "said once";
}

TEST(YearSources, ATaxNumberThatLeavesTheFolderNamesNoFolder) {
    TempDir tables;
    for (const char* afm : {"", "../123456783", "12/34"})
        EXPECT_THROW(SourcesFolder(tables.path(), afm), ClientNameError) << afm;
}

}  // namespace
}  // namespace skartina::test
