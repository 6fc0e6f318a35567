// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ClientFiles.h"
#include "common/TextFile.h"
#include "registry/ClientLists.h"
#include "sheet/AnalysisHistory.h"
#include "registry/GreekCollation.h"
#include "registry/TaxpayerRecord.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>

namespace skartina {
namespace {

using test::ScriptedPrompter;
using test::TempDir;
using test::WriteBytes;

std::vector<std::string> Column(const ListRows& rows, int column) {
    std::vector<std::string> cells;
    for (const auto& row : rows) cells.push_back(row.at(column));
    return cells;
}

// The names of the folder's files in the order the folder lists them.
std::vector<std::string> ListingOrder(const std::filesystem::path& dir, const std::string& suffix) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (entry.path().filename().string().ends_with(suffix)) names.push_back(entry.path().stem().string());
    return names;
}

void Record(const std::filesystem::path& tables, const std::string& taxNumber, const std::string& surname,
            const std::string& firstName = "", const std::string& father = "") {
    WriteTaxpayerRecord(tables / (taxNumber + ".cst"), {taxNumber, surname, firstName, father, "user", "secret"});
}

TEST(GreekCollation, IgnoresCaseAndOrdersGreekLetters) {
    const GreekCollation& greek = GreekCollation::instance();
    EXPECT_LT(greek.compare("α", "Β"), 0);
    EXPECT_LT(greek.compare("Β", "γ"), 0);
    EXPECT_EQ(greek.compare("ΠΑΠΑΣ", "παπας"), 0);
    EXPECT_LT(greek.compare("Ωμέγα", "ωμεγας"), 0);
    EXPECT_LT(greek.compare("", "Α"), 0);
}

TEST(SortGridRows, OrdersGreekNamesCaseInsensitivelyAndStably) {
    ListRows rows = {{"Β", "1"}, {"α", "2"}, {"Γ", "3"}, {"ΑΝΝΑ", "4"}, {"αννα", "5"}, {"Άννα", "6"}, {"ANNA", "7"}};
    SortGridRows(rows, 0);
    // Greek rules put the Greek alphabet before the Latin one; an accent counts after the letters.
    EXPECT_EQ(Column(rows, 1), (std::vector<std::string>{"2", "4", "5", "6", "1", "3", "7"}));

    ListRows three = {{"Β"}, {"α"}, {"Γ"}};
    SortGridRows(three, 0);
    EXPECT_EQ(Column(three, 0), (std::vector<std::string>{"α", "Β", "Γ"}));
}

TEST(SortGridRows, SortsRowsWithAnEmptySurnameToo) {
    // Analyses whose client has no record show empty names; sorting by tax
    // number must still order every row, or the search lands wrongly.
    ListRows rows = {{"", "", "300000000"}, {"Β", "", "200000000"}, {"", "", "100000000"}};
    SortGridRows(rows, 2);
    EXPECT_EQ(Column(rows, 2), (std::vector<std::string>{"100000000", "200000000", "300000000"}));
}

TEST(FastSearch, LandsOnTheFirstRowFromTheTextOn) {
    const ListRows byTaxNumber = {{"x", "100000090"}, {"x", "123456783"}, {"x", "130000000"}};
    const struct {
        const char* text;
        size_t row;
    } cases[] = {{"1", 0}, {"12", 1}, {"123456783", 1}, {"125", 2}, {"13", 2}, {"0", 0}, {"2", 2}, {"9", 2}};
    for (const auto& c : cases) EXPECT_EQ(FastSearch(byTaxNumber, 1, c.text), c.row) << c.text;

    const ListRows bySurname = {{"ΑΝΝΑ"}, {"ΒΑΣΩ"}, {"ΓΙΩΡΓΟΣ"}};
    EXPECT_EQ(FastSearch(bySurname, 0, "Β"), 1u);
    EXPECT_EQ(FastSearch(bySurname, 0, "ΒΑΣΩ"), 1u);
    EXPECT_EQ(FastSearch(bySurname, 0, "β"), 1u);  // case aside, as the sort
    EXPECT_EQ(FastSearch(bySurname, 0, "€"), 0u);  // a sign comes before every letter
    EXPECT_EQ(FastSearch(bySurname, 0, "Ω"), 2u);  // nothing from Ω on: the last row
    EXPECT_EQ(FastSearch({}, 0, "1"), std::nullopt);
}

TEST(FastSearch, FollowsTheOrderOfTheSortAsTheUserSeesIt) {
    ListRows rows = {{"Παπαδόπουλος"}, {"αβραμίδης"}, {"Ζαχαρίου"}, {"ΠΑΠΑΣ"}, {"ωρίων"}, {"Άννα"}};
    SortGridRows(rows, 0);
    ASSERT_EQ(Column(rows, 0),
              (std::vector<std::string>{"αβραμίδης", "Άννα", "Ζαχαρίου", "Παπαδόπουλος", "ΠΑΠΑΣ", "ωρίων"}));
    const struct {
        const char* text;
        const char* lands;
    } cases[] = {
        {"Πα", "Παπαδόπουλος"}, {"πα", "Παπαδόπουλος"}, {"ΠΑΠΑΔΟΠ", "Παπαδόπουλος"},  // case and accents aside
        {"Παπαδοπ", "Παπαδόπουλος"}, {"Παπας", "ΠΑΠΑΣ"},    {"αν", "Άννα"},
        {"Β", "Ζαχαρίου"},           {"Ρ", "ωρίων"},        {"α", "αβραμίδης"},
        {"ωρίωνας", "ωρίων"},  // nothing from there on: the last row
    };
    for (const auto& c : cases) {
        const auto row = FastSearch(rows, 0, c.text);
        ASSERT_TRUE(row) << c.text;
        EXPECT_EQ(rows[*row][0], c.lands) << c.text;
    }
}

TEST(FastSearch, CharactersTypedInTheGridThatExtendTheSearch) {
    for (const char* typed : {" ", ".", "0", "9", "A", "z", "Α", "ω", "ά", "ί", "€", "ς"})
        EXPECT_TRUE(ExtendsFastSearch(typed)) << typed;
    for (const char* typed : {"ό", "ύ", "ώ", "ϊ", "ϋ", "-", ",", "@", "\b", "\t", "😀", "ab", ""})
        EXPECT_FALSE(ExtendsFastSearch(typed)) << typed;
}

TEST(LoadCustomers, OneRowPerRecordInListingOrder) {
    TempDir dir;
    Record(dir.path(), "200000000", "Β", "Βασίλης", "Πέτρος");
    Record(dir.path(), "100000000", "α");
    Record(dir.path(), "300000000", "Γ", "Γιώργος");
    std::filesystem::create_directory(dir / "dir.cst");  // not a file
    WriteBytes(dir / "note.txt", "x");

    const ListLoad load = LoadCustomers(dir.path());
    EXPECT_EQ(load.badEntries, std::vector<std::string>{"dir.cst"});
    ListRows rows = load.rows;
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(Column(rows, 3), [&] {
        auto names = ListingOrder(dir.path(), ".cst");
        std::erase(names, "dir");
        return names;
    }());
    const auto b = std::find_if(rows.begin(), rows.end(), [](const ListRow& row) { return row[3] == "200000000"; });
    ASSERT_NE(b, rows.end());
    EXPECT_EQ(*b, (ListRow{"Β", "Βασίλης", "Πέτρος", "200000000"}));

    SortAsAtOpening(rows, TaxpayerListDescription());
    EXPECT_EQ(Column(rows, 0), (std::vector<std::string>{"α", "Β", "Γ"}));
    EXPECT_TRUE(LoadCustomers(dir / "missing").rows.empty());
}

// Entries of the data folder that are not the program's plain files.
struct HostileFolder {
    HostileFolder() {
        std::filesystem::create_directory(tables);
        Record(tables, "100000000", "Α");
        Record(outside.path(), "999999999", "ΞΕΝΟΣ");
        WriteBytes(tables / "200000000.cst", "#@1\xAA\r\n");  // a byte without a character in the code page
        std::filesystem::create_directory(tables / "300000000.cst");
        if (::mkfifo((tables / "400000000.cst").c_str(), 0600) != 0) throw std::runtime_error("mkfifo");
        std::filesystem::create_symlink(outside / "999999999.cst", tables / "500000000.cst");
        std::filesystem::create_symlink(tables / "600000000.cst", tables / "600000000.cst");  // a loop
        WriteBytes(tables / "700000000.cst", "#@1" + std::string(9000, 'x'));              // too large
        std::filesystem::create_directory(tables / ".cst");
    }
    TempDir root;
    TempDir outside;
    std::filesystem::path tables = root.path() / "Tables";
};

TEST(LoadCustomers, EveryGoodRecordShowsAndTheOthersAreNamedWithoutWaiting) {
    HostileFolder f;
    const ListLoad load = LoadCustomers(f.tables);
    EXPECT_EQ(load.rows, (ListRows{{"Α", "", "", "100000000"}}));
    std::vector<std::string> bad = load.badEntries;
    std::sort(bad.begin(), bad.end());
    EXPECT_EQ(bad, (std::vector<std::string>{".cst", "200000000.cst", "300000000.cst", "400000000.cst",
                                             "500000000.cst", "600000000.cst", "700000000.cst"}));
    const std::string sentence = BadEntriesSentence(load.badEntries);
    EXPECT_EQ(sentence.rfind("Τα αρχεία «", 0), 0u) << sentence;
    for (const auto& name : bad) EXPECT_NE(sentence.find("«" + name + "»"), std::string::npos) << name;
    EXPECT_EQ(BadEntriesSentence({"1.cst"}), "Το αρχείο «1.cst» του φακέλου Tables δεν διαβάστηκε (κατεστραμμένο, "
                                             "πολύ μεγάλο ή όχι κανονικό αρχείο) και λείπει από τον κατάλογο.");
    EXPECT_EQ(BadEntriesSentence({}), "");

    // The entry window's load says why, in Greek, instead of hanging or following the link.
    for (const char* taxNumber : {"300000000", "400000000", "500000000", "600000000", "700000000"}) {
        try {
            LoadTaxpayer(f.tables, taxNumber);
            ADD_FAILURE() << taxNumber << " was read";
        } catch (const FileError& e) {
            EXPECT_NE(std::string(e.what()).find("Αδυναμία ανάγνωσης"), std::string::npos) << e.what();
        }
    }
}

TEST(LoadAnalyses, ABadRecordOrEntryIsNamedAndTheAnalysesStillShow) {
    HostileFolder f;
    for (const char* name : {"100000000_2021.grd", "200000000_2021.grd", "400000000_2021.grd", "500000000_2021.grd"})
        WriteBytes(f.tables / name, "3\r\n1\r\n\r\n\r\n\r\n");
    if (::mkfifo((f.tables / "800000000_2021.grd").c_str(), 0600) != 0) throw std::runtime_error("mkfifo");
    std::filesystem::create_symlink(f.outside / "999999999.cst", f.tables / "900000000_2021.grd");
    ListLoad load = LoadAnalyses(f.tables, "2021");
    SortAsAtOpening(load.rows, AnalysisListDescription());
    EXPECT_EQ(load.rows, (ListRows{{"Α", "", "100000000"},
                                   {"", "", "200000000"},
                                   {"", "", "400000000"},
                                   {"", "", "500000000"}}));
    std::sort(load.badEntries.begin(), load.badEntries.end());
    EXPECT_EQ(load.badEntries, (std::vector<std::string>{"200000000.cst", "400000000.cst", "500000000.cst",
                                                         "800000000_2021.grd", "900000000_2021.grd"}));
}

TEST(LoadAnalyses, KeepsTheWorkingYearsFilesAndNamesTheirClients) {
    TempDir dir;
    Record(dir.path(), "123456783", "ΠΑΠΑΣ", "Νίκος", "Ιωάννης");
    for (const char* name : {"123456783_2021.grd", "111111111_2021.grd", "222222222_2020.grd", "333_2021_old.grd",
                             "444_2021.txt", "_2021.grd", "..x_2021.grd"})
        WriteBytes(dir / name, "1\r\n40\r\n");
    std::filesystem::create_directory(dir / "555_2021.grd");

    const ListLoad load = LoadAnalyses(dir.path(), "2021");
    EXPECT_EQ(load.badEntries, std::vector<std::string>{"555_2021.grd"});
    ListRows rows = load.rows;
    SortAsAtOpening(rows, AnalysisListDescription());
    EXPECT_EQ(rows, (ListRows{{"", "", ""},
                              {"", "", "..x"},
                              {"", "", "111111111"},
                              {"ΠΑΠΑΣ", "Νίκος", "123456783"},
                              {"", "", "333"}}));
    EXPECT_EQ(LoadAnalyses(dir.path(), "2020").rows, (ListRows{{"", "", "222222222"}}));
}

TEST(ListDeletion, AskedYesDeletesTheFileBehindTheRowOnly) {
    TempDir dir;
    Record(dir.path(), "123456783", "ΠΑΠΑΣ", "Νίκος");
    WriteBytes(dir / "123456783_2021.grd", "x");
    WriteBytes(dir / "123456783_2020.grd", "x");
    const ListRow client{"ΠΑΠΑΣ", "Νίκος", "", "123456783"};

    ScriptedPrompter no(false);
    EXPECT_FALSE(DeleteTaxpayerRow(dir.path(), client, no));
    EXPECT_EQ(no.asked, std::vector<std::string>{"Προσοχή !!. Να γίνει η διαγραφή της Δήλωσης του ΠΑΠΑΣ με ΑΦΜ 123456783"});
    EXPECT_TRUE(std::filesystem::exists(dir / "123456783.cst"));

    ScriptedPrompter yes(true);
    EXPECT_TRUE(DeleteTaxpayerRow(dir.path(), client, yes));
    EXPECT_TRUE(LoadCustomers(dir.path()).rows.empty());
    // The client's analyses stay, now without names.
    EXPECT_EQ(LoadAnalyses(dir.path(), "2021").rows, (ListRows{{"", "", "123456783"}}));
    EXPECT_FALSE(DeleteTaxpayerRow(dir.path(), client, yes));  // already gone: the list stays open

    EXPECT_TRUE(DeleteAnalysisRow(dir.path(), {"", "", "123456783"}, "2021", yes));
    // The deleted analysis stays among the client's earlier versions.
    EXPECT_EQ(test::FolderNames(dir.path()), (std::vector<std::string>{"123456783_2020.grd", "123456783_history"}));
    const std::vector<std::filesystem::path> kept = KeptVersions(dir.path(), "123456783");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(test::ReadBytes(kept[0]), "x");
    EXPECT_THROW(DeleteAnalysisRow(dir.path(), {"", "", "../123456783"}, "2020", yes), ClientNameError);
    EXPECT_TRUE(std::filesystem::exists(dir / "123456783_2020.grd"));
}

}  // namespace
}  // namespace skartina
