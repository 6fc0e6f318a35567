// The portal's documents kept for a client: where they go, who may read them,
// and that a return page's amounts read back as they were.

#include "support/TestSupport.h"
#include "common/ClientFiles.h"
#include "e1/CodeList.h"
#include "portal/YearSources.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace skartina::test {
namespace {

unsigned Mode(const std::filesystem::path& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 0777;
}

TEST(YearSources, AreKeptOwnerOnlyBesideTheClientsFiles) {
    TempDir tables;
    const std::filesystem::path folder = SourcesFolder(tables.path(), "123456789");
    EXPECT_EQ(folder, tables.path() / "123456789_sources");
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

TEST(YearSources, ATaxNumberThatLeavesTheFolderNamesNoFolder) {
    TempDir tables;
    for (const char* afm : {"", "../123456789", "12/34"})
        EXPECT_THROW(SourcesFolder(tables.path(), afm), ClientNameError) << afm;
}

}  // namespace
}  // namespace skartina::test
