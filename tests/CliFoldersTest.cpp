// SPDX-License-Identifier: GPL-3.0-or-later
// skartina-cli's data folder, chosen as the window chooses it, and the
// command-line faults that must be refused before anything runs.

#include "common/TextFile.h"
#include "support/CliRunner.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace skartina {
namespace {

namespace fs = std::filesystem;
using test::CliRun;
using test::Q;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

const std::string kList = "ΑΦΜ;Επώνυμο;Όνομα\n123456783;ΠΑΠΑΣ;ΓΙΑΝΝΗΣ\n";

// skartina-cli started in `folder` with HOME in `home`; nothing reaches the real home.
CliRun CliIn(const TempDir& dir, const fs::path& folder, const fs::path& home, const std::string& args) {
    const std::string command = "cd " + Q(folder) + " && env -u SKARTINA_PASSWORD HOME=" + Q(home) + " " + SKARTINA_CLI +
                                " " + args + " </dev/null >" + Q(dir / "out.txt") + " 2>" + Q(dir / "err.txt");
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadBytes(dir / "out.txt"), ReadBytes(dir / "err.txt")};
}

mode_t ModeOf(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 0777;
}

struct Folders {
    TempDir dir;
    fs::path home = dir / "home";
    fs::path work = dir / "work";  // where the command is typed; no Tables
    Folders() {
        fs::create_directories(home);
        fs::create_directories(work);
        WriteBytes(work / "clients.csv", kList);
    }
    CliRun run(const std::string& args) { return CliIn(dir, work, home, args); }
};

TEST(CliDataFolder, AFolderWithoutTablesNeverBecomesADataFolder) {
    Folders f;
    const CliRun run = f.run("import-clients clients.csv");
    EXPECT_EQ(run.status, 0) << run.err;
    const fs::path data = f.home / "ΣΚΑΡΤΙΝΑ";
    EXPECT_FALSE(fs::exists(f.work / "Tables"));
    EXPECT_TRUE(fs::is_regular_file(data / "Tables" / "123456783.cst"));
    EXPECT_EQ(ModeOf(data), 0700u);
    EXPECT_EQ(ModeOf(data / "Tables"), 0700u);
    EXPECT_NE(run.err.find("«" + data.string() + "»"), std::string::npos) << run.err;  // says which

    EXPECT_NE(f.run("clients " + Q(data)).out.find("123456783"), std::string::npos);
}

TEST(CliDataFolder, TheFolderGivenOrTheCurrentOneWithTablesIsUsedAsItStands) {
    Folders f;
    const fs::path given = f.dir / "office";
    CliRun run = f.run("--data-dir " + Q(given) + " import-clients clients.csv");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::is_regular_file(given / "Tables" / "123456783.cst"));
    EXPECT_EQ(run.err, "");
    // After the command too, as the window's option.
    run = f.run("import-clients clients.csv --data-dir " + Q(given));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Εισαγωγή πελατών: 0 νέοι, 0 ενημερώθηκαν, 1 χωρίς αλλαγή, 0 γραμμές παραλείφθηκαν. Δεν προστέθηκε "
                       "ούτε άλλαξε κανένας πελάτης.\n");

    fs::create_directory(f.work / "Tables");
    run = f.run("import-clients clients.csv");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::is_regular_file(f.work / "Tables" / "123456783.cst"));
    EXPECT_FALSE(fs::exists(f.home / "ΣΚΑΡΤΙΝΑ"));
}

TEST(CliDataFolder, CommandsThatTakeNoRegisterLeaveTheHomeFolderAlone) {
    Folders f;
    EXPECT_EQ(f.run("new a.grd").status, 0);
    EXPECT_EQ(f.run("afm 123456783").status, 0);
    // Refused before anything is read or made.
    EXPECT_EQ(f.run("retrieve-all a.grd a.grd --afm 123456783 --user u").status, 2);
    EXPECT_EQ(test::FolderNames(f.home), std::vector<std::string>{});
}

// Only the data folder a command takes is narrowed and cleared of what killed
// saves left; the folder the command is typed in is not touched.
TEST(CliDataFolder, OnlyTheDataFolderTakenIsTidied) {
    Folders f;
    const fs::path given = f.dir / "office";
    char host[256] = "";
    gethostname(host, sizeof host);
    const std::string killed = "123456783.cst.tmp-" + std::string(host) + "-4194999-AbC123";  // no such process
    for (const fs::path& folder : {f.work, given}) {
        fs::create_directories(folder / "Tables");
        fs::permissions(folder / "Tables", fs::perms(0755));
        WriteBytes(folder / "Tables" / killed, "half a client");
    }
    const CliRun run = f.run("--data-dir " + Q(given) + " import-clients clients.csv");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ModeOf(f.work / "Tables"), 0755u);
    EXPECT_TRUE(fs::exists(f.work / "Tables" / killed));
    EXPECT_EQ(ModeOf(given / "Tables"), 0700u);
    EXPECT_FALSE(fs::exists(given / "Tables" / killed));
    EXPECT_EQ(run.err, "skartina-cli: Ο φάκελος «" + (given / "Tables").string() +
                           "» ήταν προσβάσιμος και σε άλλους χρήστες του υπολογιστή· έγινε ιδιωτικός (0700).\n");
}

TEST(CliDataFolder, RetrieveClientsFromAFolderWithoutTablesTakesTheHomeDataFolderAndSaysWhich) {
    Folders f;
    const CliRun run = f.run("retrieve-clients");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Δεν υπάρχει πελάτης για άντληση.\n");
    const fs::path data = f.home / "ΣΚΑΡΤΙΝΑ";
    EXPECT_EQ(run.err, "skartina-cli: ο τρέχων φάκελος δεν έχει Tables· φάκελος δεδομένων: «" + data.string() + "»\n");
    EXPECT_EQ(ModeOf(data / "Tables"), 0700u);
    EXPECT_FALSE(fs::exists(f.work / "Tables"));
}

// The example client list the package ships imports whole: every client of it is listed after.
TEST(CliDataFolder, TheShippedExampleClientListImportsWhole) {
    Folders f;
    fs::create_directory(f.work / "Tables");
    fs::permissions(f.work / "Tables", fs::perms::owner_all);
    const fs::path example = fs::path(SKARTINA_EXAMPLES) / "clients.csv";
    std::vector<std::string> taxNumbers;
    std::istringstream lines(ReadBytes(example));
    std::string line;
    std::getline(lines, line);  // the headings
    while (std::getline(lines, line))
        if (!line.empty()) taxNumbers.push_back(line.substr(0, line.find(';')));
    ASSERT_FALSE(taxNumbers.empty());
    const CliRun run = f.run("import-clients " + Q(example));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Εισαγωγή πελατών: " + std::to_string(taxNumbers.size()) +
                           " νέοι, 0 ενημερώθηκαν, 0 χωρίς αλλαγή, 0 γραμμές παραλείφθηκαν.\n");
    EXPECT_EQ(run.err, "");
    const std::string listed = f.run("clients .").out;
    for (const std::string& taxNumber : taxNumbers)
        EXPECT_NE(listed.find(taxNumber), std::string::npos) << taxNumber << " not listed:\n" << listed;
}

TEST(CliFaults, RefusedAsBadUsageWithTheProgramsNameAndOneYearRange) {
    Folders f;
    ASSERT_EQ(f.run("new a.grd").status, 0);
    const struct {
        std::string args;
        std::string said;
    } cases[] = {
        {"retrieve 2016 a.grd b.grd --user u", "--afm"},
        {"retrieve 2016 a.grd b.grd --afm 123456783", "--user"},
        {"retrieve-all a.grd b.grd", "--afm"},
        {"retrieve-all a.grd b.grd --afm 123456783 --user u --extra-seconds -5", "«-5»"},
        {"retrieve 2016 a.grd b.grd --afm 123456783 --user u --extra-seconds 1e3", "«1e3»"},
        {"retrieve-clients --extra-seconds -1", "«-1»"},
        {"retrieve-all a.grd b.grd --afm 123456783 --user u --years 2030-2040", "από 2003 έως 2020"},
        {"retrieve-all a.grd b.grd --afm 123456783 --user u --years 1995-2000", "από 2003 έως 2020"},
        {"retrieve-clients --years 1995-2000", "από 2003 έως 2020"},
        {"retrieve 1995 a.grd b.grd --afm 123456783 --user u", "από 2003 έως 2020"},
        {"retrieve 2030 a.grd b.grd --afm 123456783 --user u", "από 2003 έως 2020"},
        {"retrieve 2010-2012 a.grd b.grd --afm 123456783 --user u", "από 2003 έως 2020"},
        {"analyses . --year 1990", "«1990»"},
        {"analyses . --year 2022", "«2022»"},
        {"new a.grd", "υπάρχει ήδη"},
    };
    for (const auto& c : cases) {
        const CliRun run = f.run(c.args);
        EXPECT_EQ(run.status, 2) << c.args << "\n" << run.err;
        EXPECT_EQ(run.err.rfind("skartina-cli ", 0), 0u) << c.args << "\n" << run.err;
        EXPECT_NE(run.err.find(c.said), std::string::npos) << c.args << "\n" << run.err;
        EXPECT_EQ(run.err.find("1991"), std::string::npos) << c.args << "\n" << run.err;
        EXPECT_FALSE(fs::exists(f.work / "b.grd")) << c.args;
    }
    EXPECT_EQ(test::FolderNames(f.home), std::vector<std::string>{});
    fs::create_directory(f.work / "Tables");
    EXPECT_EQ(f.run("analyses . --year 2020").status, 0);
}

TEST(CliFaults, TheManualPagesSampleTaxNumbersAreValid) {
    // Every nine-digit number in the manual pages is one a reader can type.
    for (const char* page : {"skartina.1", "skartina-cli.1", "skartina-portal-sim.1"}) {
        const std::string text = ReadBytes(fs::path(SKARTINA_MANUAL_PAGES) / page);
        for (size_t i = 0; i + 9 <= text.size(); ++i) {
            const bool before = i == 0 || !std::isdigit(static_cast<unsigned char>(text[i - 1]));
            size_t digits = 0;
            while (i + digits < text.size() && std::isdigit(static_cast<unsigned char>(text[i + digits]))) ++digits;
            if (before && digits == 9) {
                Folders f;
                EXPECT_EQ(f.run("afm " + text.substr(i, 9)).out, "valid\n") << page << ": " << text.substr(i, 9);
            }
            if (digits) i += digits - 1;
        }
    }
}

}  // namespace
}  // namespace skartina
