// SPDX-License-Identifier: GPL-3.0-or-later
// The portal's documents kept for a client: where they go, who may read them,
// and that a return page's amounts read back as they were.

#include "support/TestSupport.h"
#include "common/ClientFiles.h"
#include "e1/CodeList.h"
#include "browser/StartUpTidy.h"
#include "portal/PumpClock.h"
#include "portal/RetrievalLog.h"
#include "portal/YearSources.h"
#include "sheet/AnalysisFile.h"
#include "sheet/AnalysisHistory.h"
#include "sheet/SheetLayout.h"
#include "registry/TaxpayerRecord.h"
#include "support/SheetGridForms.h"

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

    // A report that could not be read is kept apart: the year's document read earlier stays.
    const std::filesystem::path unread = KeepUnreadReport(folder, 2016, "%PDF-1.4 unread");
    EXPECT_EQ(unread, folder / "2016-unread.pdf");
    EXPECT_EQ(Mode(unread), 0600u);
    EXPECT_EQ(ReadBytes(unread), "%PDF-1.4 unread");
    EXPECT_EQ(ReadBytes(pdf), std::string("%PDF-1.4\0\xff rest", 15));

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
        {"a run that wrote only its log", [](const auto& tables) {
             SteadyPumpClock clock;
             RetrievalLog log(clock, SourcesFolder(tables, "123456789") / "retrieval.log");
             ASSERT_TRUE(log.Note("the portal did not answer"));
             EXPECT_EQ(Mode(SourcesFolder(tables, "123456789") / "retrieval.log"), 0600u);
         }},
    };
    const mode_t umaskBefore = umask(0);
    for (const Path& path : paths) {
        for (const int before : {0, 0755}) {
            TempDir dir;
            const std::filesystem::path tables = dir / "work" / "Tables";
            std::filesystem::create_directories(tables.parent_path());
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

// What another user could plant inside the data folder, as "<ΑΦΜ>_sources"
// or "<ΑΦΜ>_history": a link (to another user's folder, or to one of the
// user's own folders), a folder of another owner, one others may write to.
// Nothing is written through it or into it, its rights stay, and the refusal
// names the folder.
TEST(YearSources, AFolderPlantedInsideTheDataFolderIsRefused) {
    enum class Plant { LinkToForeign, LinkToOwn, Foreign, GroupWritable, OpenToAll };
    const std::vector<std::pair<Plant, const char*>> plants = {
        {Plant::LinkToForeign, "σύνδεσμος"}, {Plant::LinkToOwn, "σύνδεσμος"}, {Plant::Foreign, "άλλον χρήστη"},
        {Plant::GroupWritable, "0770"}, {Plant::OpenToAll, "0777"}};
    struct Writer {
        const char* name;
        const char* suffix;
        std::function<void(const std::filesystem::path& tables)> write;  // throws on refusal
    };
    const std::vector<Writer> writers = {
        {"a report kept", "_sources",
         [](const auto& tables) { KeepReportSource(SourcesFolder(tables, "123456783"), 2016, "%PDF-1.4"); }},
        {"a return kept", "_sources",
         [](const auto& tables) { KeepReturnSource(SourcesFolder(tables, "123456783"), 2010, E1CodeTable()); }},
        {"the retrieval log", "_sources",
         [](const auto& tables) {
             SteadyPumpClock clock;
             RetrievalLog log(clock, SourcesFolder(tables, "123456783") / "retrieval.log");
             if (!log.Note("detail")) throw FileError("not written");
         }},
        {"a version kept", "_history",
         [](const auto& tables) {
             SheetGrid grid;
             BuildSheetLayout(grid, YearSelection());
             const auto file = AnalysisFilePath(tables, "123456783", "2021");
             SaveGridToFile(grid, file);
             grid.setCell(1, 5, "1,00");
             SaveGridKeepingHistory(grid, tables, "123456783", file);
         }},
    };
    for (const Writer& writer : writers) {
        for (const auto& [plant, reason] : plants) {
            TempDir dir;
            const std::filesystem::path tables = dir / "Tables";
            const std::filesystem::path planted = tables / (std::string("123456783") + writer.suffix);
            const std::filesystem::path target = dir / "target";
            std::filesystem::create_directories(tables);
            std::filesystem::create_directories(target);
            const bool link = plant == Plant::LinkToForeign || plant == Plant::LinkToOwn;
            if (link) std::filesystem::create_directory_symlink(target, planted);
            else std::filesystem::create_directory(planted);
            const std::filesystem::path real = link ? target : planted;
            const mode_t mode = plant == Plant::GroupWritable ? 0770 : plant == Plant::OpenToAll ? 0777 : 0755;
            ASSERT_EQ(chmod(real.c_str(), mode), 0);
            if (plant == Plant::LinkToForeign || plant == Plant::Foreign)
                ASSERT_EQ(chown(real.c_str(), 65534, 65534), 0) << "the test needs root";
            const std::string what = std::string(writer.name) + ", " + reason;
            try {
                writer.write(tables);
                ADD_FAILURE() << what << ": written";
            } catch (const FileError& e) {
                if (std::string(writer.name) != "the retrieval log") {
                    EXPECT_NE(std::string(e.what()).find("«" + planted.string() + "»"), std::string::npos) << e.what();
                    EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << what << ": " << e.what();
                }
            }
            EXPECT_TRUE(FolderNames(real).empty()) << what;
            EXPECT_EQ(Mode(real), static_cast<unsigned>(mode)) << what << ": its rights changed";
            if (std::string(writer.suffix) == "_history") {
                WriteBytes(real / "20240315-221530-000.grd", "a version planted");
                EXPECT_TRUE(KeptVersions(tables, "123456783").empty()) << what << ": a planted version offered";
            }
        }
    }
}

TEST(YearSources, ATaxNumberThatLeavesTheFolderNamesNoFolder) {
    TempDir tables;
    for (const char* taxNumber : {"", "../123456783", "12/34"})
        EXPECT_THROW(SourcesFolder(tables.path(), taxNumber), ClientNameError) << taxNumber;
}

}  // namespace
}  // namespace skartina::test
