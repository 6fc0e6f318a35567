// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ClientFiles.h"
#include "common/Codepage.h"
#include "common/TextFile.h"
#include "registry/Scrambler.h"
#include "registry/TaxpayerRecord.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace skartina {
namespace {

using test::ReadBytes;
using test::ScriptedPrompter;
using test::TempDir;
using test::WriteBytes;

const TaxpayerRecord kClient{"123456783", "ΠΑΠΑΔΟΠΟΥΛΟΣ", "Γιάννης", "", "papad", "Μυστικό!9"};

TEST(TaxpayerRecord, FileHoldsSixScrambledCp1253LinesAndReadsBack) {
    TempDir dir;
    const auto path = RecordFilePath(dir.path(), kClient.taxNumber);
    EXPECT_EQ(path, dir / "123456783.cst");
    WriteTaxpayerRecord(path, kClient);

    const std::string bytes = ReadBytes(path);
    std::string expected;
    for (const std::string& field :
         {kClient.taxNumber, kClient.surname, kClient.firstName, kClient.fatherName, kClient.portalUser, kClient.portalPassword})
        expected += Utf8ToCp1253(ScrambleText(field)) + "\r\n";
    EXPECT_EQ(bytes, expected);
    EXPECT_NE(bytes.find("#@1\r\n"), std::string::npos);  // the empty father's name
    EXPECT_EQ(bytes.find(Utf8ToCp1253("ΠΑΠΑΔΟΠΟΥΛΟΣ")), std::string::npos);
    EXPECT_EQ(bytes.find("papad"), std::string::npos);

    EXPECT_EQ(ReadTaxpayerRecord(path), kClient);
}

TEST(TaxpayerRecord, FileIsReadableByItsOwnerOnly) {
    TempDir dir;
    const auto path = dir / "123456783.cst";
    WriteBytes(path, "old\r\n");
    ::chmod(path.c_str(), 0644);
    WriteTaxpayerRecord(path, kClient);  // replacing keeps no wider rights either
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(TaxpayerRecord, ShortFilesAndLinesInClear) {
    TempDir dir;
    const auto path = dir / "1.cst";
    // Two lines only, the second stored in clear, no line end at the close.
    WriteBytes(path, Utf8ToCp1253(ScrambleText("123456783")) + "\r\n" + Utf8ToCp1253("ΚΩΣΤΑΣ"));
    EXPECT_EQ(ReadTaxpayerRecord(path), (TaxpayerRecord{"123456783", "ΚΩΣΤΑΣ", "", "", "", ""}));

    WriteBytes(path, "");
    EXPECT_EQ(ReadTaxpayerRecord(path), TaxpayerRecord{});
}

TEST(TaxpayerRecord, TaxNumbersThatWouldLeaveTheFolderAreRefused) {
    TempDir dir;
    for (const std::string taxNumber : {"../123456783", "a/b", "..", "x\\y", "12:3", "1*", "a\"b", "a<b", "1|2", "tab\tx", ""})
        EXPECT_THROW(RecordFilePath(dir.path(), taxNumber), ClientNameError) << taxNumber;
    ScriptedPrompter yes(true);
    TaxpayerRecord client = kClient;
    client.taxNumber = "../../etc/x";
    EXPECT_THROW(SaveTaxpayer(dir.path(), client, yes), ClientNameError);
    EXPECT_TRUE(test::FolderNames(dir.path()).empty());
    EXPECT_FALSE(std::filesystem::exists(dir.path().parent_path().parent_path() / "etc" / "x.cst"));
}

TEST(TaxpayerRecord, AFieldTheCodePageCannotHoldIsNamedAndNothingIsWritten) {
    TempDir dir;
    TaxpayerRecord client = kClient;
    client.fatherName = "Ιωάννης 😀";
    try {
        WriteTaxpayerRecord(dir / "123456783.cst", client);
        FAIL() << "no error";
    } catch (const std::invalid_argument& e) {
        EXPECT_NE(std::string(e.what()).find("«Ονομα Πατέρα»"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(test::FolderNames(dir.path()).empty());
}

TEST(TaxpayerRecord, SaveAsksBeforeReplacingAndNeedsATaxNumber) {
    TempDir dir;
    ScriptedPrompter no(false), yes(true);

    TaxpayerRecord nameless = kClient;
    nameless.taxNumber.clear();
    EXPECT_FALSE(SaveTaxpayer(dir.path(), nameless, yes));
    EXPECT_EQ(yes.informed, std::vector<std::string>{"Δεν έχετε δώσει τον Α.Φ.Μ. του πελάτη"});
    EXPECT_TRUE(test::FolderNames(dir.path()).empty());

    EXPECT_TRUE(SaveTaxpayer(dir.path(), kClient, no));  // new: no question
    EXPECT_TRUE(no.asked.empty());

    TaxpayerRecord changed = kClient;
    changed.surname = "ΑΛΛΟΣ";
    EXPECT_FALSE(SaveTaxpayer(dir.path(), changed, no));
    EXPECT_EQ(no.asked, std::vector<std::string>{
                            "Ο πελάτης υπάρχει ήδη στο αρχείο να γίνει επικάλυψη των στοιχείων του;"});
    EXPECT_EQ(LoadTaxpayer(dir.path(), kClient.taxNumber), kClient);

    EXPECT_TRUE(SaveTaxpayer(dir.path(), changed, yes));
    EXPECT_EQ(LoadTaxpayer(dir.path(), kClient.taxNumber), changed);
}

TEST(TaxpayerRecord, ATaxNumberThatFailsTheCheckIsSavedOnlyWhenTheUserSaysSo) {
    for (const char* taxNumber : {"123456784", "12345678", "EL123456783", "000000000"}) {
        TempDir dir;
        ScriptedPrompter no(false), yes(true);
        TaxpayerRecord client = kClient;
        client.taxNumber = taxNumber;
        EXPECT_FALSE(SaveTaxpayer(dir.path(), client, no)) << taxNumber;
        EXPECT_EQ(no.asked, std::vector<std::string>{kInvalidTaxNumberSaveQuestion}) << taxNumber;
        EXPECT_TRUE(test::FolderNames(dir.path()).empty()) << taxNumber;
        EXPECT_TRUE(SaveTaxpayer(dir.path(), client, yes)) << taxNumber;
        EXPECT_EQ(LoadTaxpayer(dir.path(), taxNumber), client) << taxNumber;
    }
}

TEST(TaxpayerRecord, TheFirstSaveMakesTheDataFolderForItsOwnerOnly) {
    TempDir dir;
    ScriptedPrompter yes(true);
    ASSERT_TRUE(SaveTaxpayer(dir / "Tables", kClient, yes));
    struct stat st {};
    ASSERT_EQ(::stat((dir / "Tables").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    TaxpayerRecord tooLong = kClient;
    tooLong.taxNumber = std::string(300, '9');
    try {
        SaveTaxpayer(dir / "Tables", tooLong, yes);
        FAIL() << "saved a 300-character tax number";
    } catch (const ClientNameError& e) {
        EXPECT_NE(std::string(e.what()).find("πολύ μεγάλος για όνομα αρχείου"), std::string::npos) << e.what();
    }
}

TEST(TaxpayerRecord, LoadNeedsATaxNumberWithAFile) {
    TempDir dir;
    EXPECT_EQ(LoadTaxpayer(dir.path(), ""), std::nullopt);
    EXPECT_EQ(LoadTaxpayer(dir.path(), "999999999"), std::nullopt);
    WriteTaxpayerRecord(dir / "123456783.cst", kClient);
    EXPECT_EQ(LoadTaxpayer(dir.path(), "123456783"), kClient);
}

}  // namespace
}  // namespace skartina
