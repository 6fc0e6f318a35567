// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Codepage.h"
#include "registry/ClientImport.h"
#include "registry/Scrambler.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>

namespace skartina {
namespace {

using test::FolderNames;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

struct ListCase {
    const char* what;
    std::string bytes;
    std::vector<TaxpayerRecord> records;  // the records written, by tax number
};

std::string Cp(const std::string& utf8) { return Utf8ToCp1253(utf8); }

class ClientListFormats : public testing::TestWithParam<ListCase> {};

TEST_P(ClientListFormats, BecomeRecordsAsTheEntryWindowWritesThem) {
    const ListCase& c = GetParam();
    TempDir dir;
    const ImportResult result = ImportClients(dir.path(), ParseClientList(c.bytes));
    EXPECT_TRUE(result.skipped.empty()) << c.what << ": " << (result.skipped.empty() ? "" : result.skipped[0].reason);
    EXPECT_EQ(result.added.size(), c.records.size()) << c.what;
    for (const TaxpayerRecord& expected : c.records) {
        const auto path = RecordFilePath(dir.path(), expected.taxNumber);
        ASSERT_TRUE(std::filesystem::exists(path)) << c.what;
        EXPECT_EQ(ReadTaxpayerRecord(path), expected) << c.what;
        // Byte for byte what the entry window's save writes.
        TempDir other;
        WriteTaxpayerRecord(other / "x.cst", expected);
        EXPECT_EQ(ReadBytes(path), ReadBytes(other / "x.cst")) << c.what;
    }
}

const TaxpayerRecord kPapas{"123456783", "ΠΑΠΑΔΟΠΟΥΛΟΣ", "Γιάννης", "Νίκος", "papas", "Κλειδί9"};
const TaxpayerRecord kAlfa{"090909091", "ΑΛΦΑ Α.Ε.", "", "", "", ""};

INSTANTIATE_TEST_SUITE_P(
    Table, ClientListFormats,
    testing::Values(
        ListCase{"semicolons, Greek header, UTF-8 with a byte-order mark",
                 "\xEF\xBB\xBFΑΦΜ;Επώνυμο;Όνομα;Πατρώνυμο;UserName;Password\r\n"
                 "123456783;ΠΑΠΑΔΟΠΟΥΛΟΣ;Γιάννης;Νίκος;papas;Κλειδί9\r\n"
                 "090909091;ΑΛΦΑ Α.Ε.;;;;\r\n",
                 {kPapas, kAlfa}},
        ListCase{"commas, English header in another order, UTF-8 without a mark, a quoted cell, fewer cells, LF",
                 "Surname,AFM,Name,Father,Password,UserName\n"
                 "ΠΑΠΑΔΟΠΟΥΛΟΣ,123456783,Γιάννης,Νίκος,Κλειδί9,papas\n"
                 "\"ΑΛΦΑ Α.Ε.\",090909091\n",
                 {kPapas, kAlfa}},
        ListCase{"CR alone ends each line, as older Mac programs export",
                 "ΑΦΜ;Επώνυμο;Όνομα;Πατρώνυμο;UserName;Password\r"
                 "123456783;ΠΑΠΑΔΟΠΟΥΛΟΣ;Γιάννης;Νίκος;papas;Κλειδί9\r"
                 "090909091;ΑΛΦΑ Α.Ε.\r",
                 {kPapas, kAlfa}},
        ListCase{"Windows-1253, dotted and lower-case Greek header, blanks around cells, an unknown column",
                 Cp("α.φ.μ.;Κωδ. λογιστηρίου;ΕΠΩΝΥΜΙΑ;ονομα;Όνομα πατέρα;User Name Taxis;Password Taxis\r\n"
                    " 123456783 ;77; ΠΑΠΑΔΟΠΟΥΛΟΣ ;Γιάννης;Νίκος;papas;Κλειδί9\r\n"
                    "\r\n"
                    "090909091;78;ΑΛΦΑ Α.Ε.;;;;;;\r\n"),
                 {kPapas, kAlfa}},
        ListCase{"tabs, as copied out of a spreadsheet",
                 "ΑΦΜ\tΕπώνυμο\tΌνομα\tΠατρώνυμο\tUserName\tPassword\n"
                 "123456783\tΠΑΠΑΔΟΠΟΥΛΟΣ\tΓιάννης\tΝίκος\tpapas\tΚλειδί9\n"
                 "090909091\tΑΛΦΑ Α.Ε.\n",
                 {kPapas, kAlfa}}));

TEST(ClientImport, BadLinesAreNamedWithTheirNumberAndReasonAndSkipped) {
    const std::string list =
        "ΑΦΜ;Επώνυμο;Όνομα\n"           // 1
        "123456783;ΠΑΠΑΣ;Γιώργος\n"     // 2 good
        "123456789;ΛΑΘΟΣ;Ψηφίο\n"       // 3 check digit fails
        "12345678;ΚΟΝΤΟΣ;Αριθμός\n"     // 4 eight digits
        "123456783;ΔΙΠΛΟΣ;Ξανά\n"       // 5 duplicate of line 2
        "111111114;ΜΟΣΚΒΑ;Иван\n"       // 6 Cyrillic: not in the code page
        "222222228;ΜΑΚΡΥ;ΑΑΑΑΑΑΑΑΑΑΑΑΑΑΑΑΑΑΑΑΑ\n"  // 7 first name over 20 characters
        "333333331;ΠΟΛΛΑ;Κελιά;Τρίτο;Τέταρτο\n"   // 8 more cells than the header
        "444444445;\"ΑΝΟΙΧΤΑ;Εισαγωγικά\n"        // 9 a quote left open
        ";ΚΕΝΟΣ;Αφμ\n"                  // 10 no tax number
        "555555559;ΚΑΛΟΣ;Τελευταίος\n"; // 11 good
    TempDir dir;
    const ImportResult result = ImportClients(dir.path(), ParseClientList(list));
    EXPECT_EQ(result.added, (std::vector<std::string>{"123456783", "555555559"}));
    const std::vector<std::pair<size_t, std::string>> expected = {
        {3, "ο Α.Φ.Μ. «123456789» δεν είναι έγκυρος"},
        {4, "ο Α.Φ.Μ. «12345678» δεν είναι έγκυρος"},
        {5, "ο Α.Φ.Μ. 123456783 υπάρχει ήδη στη γραμμή 2"},
        {6, "το πεδίο «Όνομα» έχει χαρακτήρα που δεν γράφεται στην ελληνική κωδικοσελίδα του αρχείου πελατών"},
        {7, "το πεδίο «Όνομα» έχει περισσότερους από 20 χαρακτήρες"},
        {8, "η γραμμή έχει 5 πεδία ενώ η επικεφαλίδα 3"},
        {9, "εισαγωγικά που δεν κλείνουν"},
        {10, "χωρίς Α.Φ.Μ."},
    };
    ASSERT_EQ(result.skipped.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(result.skipped[i].line, expected[i].first);
        EXPECT_EQ(result.skipped[i].reason, expected[i].second);
    }
    // Only the two good clients have files.
    EXPECT_EQ(FolderNames(dir.path()), (std::vector<std::string>{"123456783.cst", "555555559.cst"}));
    const std::vector<std::string> report = ImportReportLines(result);
    EXPECT_EQ(report.front(), "Εισαγωγή πελατών: 2 νέοι, 0 ενημερώθηκαν, 0 χωρίς αλλαγή, 8 γραμμές παραλείφθηκαν.");
    EXPECT_EQ(report[1], "Γραμμή 3: ο Α.Φ.Μ. «123456789» δεν είναι έγκυρος.");
    EXPECT_EQ(report.back(), "Γραμμή 10: χωρίς Α.Φ.Μ.");  // one full stop, the abbreviation's
}

TEST(ClientImport, AnExistingRecordChangesOnlyInTheFieldsGiven) {
    TempDir dir;
    WriteTaxpayerRecord(RecordFilePath(dir.path(), "123456783"), kPapas);
    WriteTaxpayerRecord(RecordFilePath(dir.path(), "090909091"), kAlfa);
    // No password column; an empty first name gives nothing.
    const ImportResult result = ImportClients(dir.path(), ParseClientList("AFM;Surname;Name;UserName\n"
                                                                           "123456783;ΠΑΠΑΔΟΠΟΥΛΟΥ;;newuser\n"
                                                                           "090909091;ΑΛΦΑ Α.Ε.;;\n"));
    EXPECT_EQ(result.updated, std::vector<std::string>{"123456783"});
    EXPECT_EQ(result.unchanged, std::vector<std::string>{"090909091"});
    TaxpayerRecord expected = kPapas;
    expected.surname = "ΠΑΠΑΔΟΠΟΥΛΟΥ";
    expected.portalUser = "newuser";
    EXPECT_EQ(ReadTaxpayerRecord(RecordFilePath(dir.path(), "123456783")), expected);
    struct stat info {};
    ASSERT_EQ(::stat(RecordFilePath(dir.path(), "123456783").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(ClientImport, AnUnreadableExistingRecordIsSkippedAndLeftAsItWas) {
    TempDir dir;
    std::filesystem::create_directory(dir / "123456783.cst");  // a folder in the record's place
    const ImportResult result =
        ImportClients(dir.path(), ParseClientList("ΑΦΜ;Επώνυμο\n123456783;ΑΛΛΟΣ\n090909091;ΑΛΦΑ Α.Ε.\n"));
    ASSERT_EQ(result.skipped.size(), 1u);
    EXPECT_EQ(result.skipped[0].line, 2u);
    EXPECT_NE(result.skipped[0].reason.find("δεν διαβάζεται"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "123456783.cst"));
    EXPECT_EQ(result.added, std::vector<std::string>{"090909091"});
}

// An import that adds nothing says so; the lines it refused are named.
TEST(ClientImport, AnImportThatAddsNothingSaysSo) {
    TempDir dir;
    const ImportResult result = ImportClients(dir.path(), ParseClientList("ΑΦΜ;Επώνυμο\r123456789;ΛΑΘΟΣ\r"));
    EXPECT_TRUE(result.added.empty());
    ASSERT_EQ(result.skipped.size(), 1u);
    EXPECT_EQ(result.skipped[0].line, 2u) << "CR alone counts as a line end";
    EXPECT_EQ(ImportReportLines(result).front(),
              "Εισαγωγή πελατών: 0 νέοι, 0 ενημερώθηκαν, 0 χωρίς αλλαγή, 1 γραμμή παραλείφθηκε. "
              "Δεν προστέθηκε ούτε άλλαξε κανένας πελάτης.");
}

// The folder is swept of what killed saves left once, at the start of the
// import, not before each of its records; the records are whole files.
TEST(ClientImport, SweepsTheFolderOnceAndLeavesWholeRecordsOnly) {
    TempDir dir;
    char host[256] = "";
    ::gethostname(host, sizeof host);
    std::string machine;
    for (const char* p = host; *p && machine.size() < 20; ++p)
        if (std::isalnum(static_cast<unsigned char>(*p))) machine += *p;
    const std::string killed = "123456783.cst.tmp-" + machine + "-4194999-AbC123";
    WriteBytes(dir / killed, "half a record");
    const ImportResult result =
        ImportClients(dir.path(), ParseClientList("ΑΦΜ;Επώνυμο\n123456783;ΠΑΠΑΣ\n090909091;ΑΛΦΑ\n"));
    EXPECT_EQ(result.added.size(), 2u);
    EXPECT_EQ(FolderNames(dir.path()), (std::vector<std::string>{"090909091.cst", "123456783.cst"}));
    for (const std::string& name : FolderNames(dir.path())) {
        struct stat st {};
        ASSERT_EQ(::stat((dir / name).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u) << name;
    }
}

TEST(ClientImport, FilesThatAreNoClientListWriteNothing) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "Το αρχείο είναι κενό."},
        {"123456783;ΠΑΠΑΣ\n", "Η πρώτη γραμμή του αρχείου δεν έχει στήλη ΑΦΜ (ή AFM)"},
        {"AFM;ΑΦΜ\n123456783;123456783\n", "Η στήλη «Α.Φ.Μ.» υπάρχει δύο φορές"},
        {"\xEF\xBB\xBF" "AFM\n\xFF\n", "δηλώνει κωδικοποίηση UTF-8"},
        {"AFM;Surname\r\n\r\n", "καμία γραμμή πελάτη"},
        {"AFM;Surname\n123456783;\xAA\n", "ούτε σε ελληνική κωδικοσελίδα"},  // 0xAA has no character in either
    };
    for (const auto& [bytes, message] : cases) {
        TempDir dir;
        try {
            ImportClients(dir.path(), ParseClientList(bytes));
            ADD_FAILURE() << "accepted: " << message;
        } catch (const ClientListError& error) {
            EXPECT_NE(std::string(error.what()).find(message), std::string::npos) << error.what();
        }
        EXPECT_TRUE(FolderNames(dir.path()).empty());
    }
}

}  // namespace
}  // namespace skartina
