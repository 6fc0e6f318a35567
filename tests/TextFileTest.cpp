#include "common/ClientFiles.h"
#include "common/TextFile.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

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

TEST(ClientFiles, KeepsEveryClientFileInsideTheDataFolder) {
    EXPECT_EQ(ClientFilePath("Tables", "123456789", "_2021.grd"), std::filesystem::path("Tables/123456789_2021.grd"));
    EXPECT_EQ(ClientFilePath("Tables", "EL 99", ".cst"), std::filesystem::path("Tables/EL 99.cst"));
    for (const char* afm : {"", "..", "../etc", "a/b", "a\\b", "/abs", "x..y", "a:b", "a*b", "tab\there",
                            "12_3456783", "_"})
        EXPECT_THROW(ClientFilePath("Tables", afm, ".cst"), ClientNameError) << afm;
    // The analysis list reads the tax number back up to the first "_": the reason says so.
    EXPECT_NE(AfmFileNameProblem("12_3456783").find("«_»"), std::string::npos);
}

}  // namespace
}  // namespace skartina
