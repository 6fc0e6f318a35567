// SPDX-License-Identifier: GPL-3.0-or-later
// The office run with headless Chromium against the simulated portal, through
// skartina-cli as an office would use it: a client list imported, every
// client's years in one accountant login, each sheet against a retrieve-all of
// the same client, a client the portal refuses, clients without credentials,
// each client's own login in a session of its own, a run killed at random
// moments and resumed, the history of a replaced sheet.

#include "support/CliRunner.h"
#include "support/TestSupport.h"
#include "common/Codepage.h"
#include "common/TextFile.h"
#include "browser/ChildProcess.h"
#include "portal/OfficeJournal.h"
#include "sheet/AnalysisFile.h"
#include "sheet/AnalysisHistory.h"
#include "sheet/SavedAnalysis.h"
#include "tools/portal-sim/SimulatedPortalProcess.h"
#include "support/SheetGridForms.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <iomanip>
#include <map>
#include <random>
#include <regex>
#include <sstream>
#include <thread>

namespace skartina::test {
namespace {

const std::vector<std::string> kTaxNumbers = {"123456783", "090909091", "111111114", "222222228", "333333331"};
const std::filesystem::path kSample = SKARTINA_SIM_SAMPLE;

// A kept document without the time the portal made it (a report's creation date).
std::string Document(const std::filesystem::path& file) {
    std::string bytes = ReadBytes(file);
    const size_t date = bytes.find("/CreationDate (");
    if (date != std::string::npos) bytes.erase(date, bytes.find(')', date) - date);
    return bytes;
}


// The portal's data: the sample client's returns, each client's amounts
// scaled by its place so that no two sheets are alike; an account for each
// client (user1 ... user5) and the accountant "logistis".
void MakePortalData(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    std::string accounts = "logistis demo5678 *\n";
    for (size_t k = 0; k < kTaxNumbers.size(); ++k) {
        accounts += "user" + std::to_string(k + 1) + " pw" + std::to_string(k + 1) + " " + kTaxNumbers[k] + "\n";
        std::filesystem::create_directories(folder / kTaxNumbers[k]);
        for (const auto& entry : std::filesystem::directory_iterator(kSample / "123456783")) {
            std::istringstream in(ReadBytes(entry.path()));
            std::ostringstream out;
            out << std::fixed << std::setprecision(2);
            for (std::string line; std::getline(in, line);) {
                std::istringstream pair(line);
                int code = 0;
                double amount = 0;
                if (line.empty() || line[0] == '#' || !(pair >> code >> amount)) continue;
                out << code << ' ' << (code <= 10 ? amount : amount * double(k + 1)) << '\n';
            }
            WriteBytes(folder / kTaxNumbers[k] / entry.path().filename(), out.str());
        }
    }
    WriteBytes(folder / "accounts.txt", accounts);
}

// The list as an accounting program exports it: Windows-1253, ";", Greek
// header; the last client without portal credentials.
std::string ClientList() {
    std::string list = "ΑΦΜ;Επώνυμο;Όνομα;Πατρώνυμο;UserName;Password\r\n";
    const char* surnames[] = {"ΠΑΠΑΔΟΠΟΥΛΟΣ", "ΑΛΦΑ Α.Ε.", "ΓΕΩΡΓΙΟΥ", "ΔΗΜΗΤΡΙΟΥ", "ΕΥΑΓΓΕΛΟΥ"};
    for (size_t k = 0; k < kTaxNumbers.size(); ++k) {
        const std::string n = std::to_string(k + 1);
        list += kTaxNumbers[k] + ";" + surnames[k] + ";Όνομα" + n + ";Πατέρας" + n + ";" +
                (k + 1 < kTaxNumbers.size() ? "user" + n + ";pw" + n : std::string(";")) + "\r\n";
    }
    return Utf8ToCp1253(list);
}

class OfficeEndToEnd : public ::testing::Test {
protected:
    void Start(std::vector<std::string> faults = {}) {
        MakePortalData(dir / "portal");
        faults.insert(faults.begin(), {"--login-log", (dir / "logins.txt").string()});
        simulator = std::make_unique<SimulatedPortalProcess>(dir / "portal", faults);
    }

    std::vector<std::string> Environment(const std::string& password) const {
        std::vector<std::string> words;  // a test that needs no portal starts none
        if (simulator)
            for (const auto& [name, value] : simulator->Environment()) words.push_back(name + "=" + value);
        words.push_back("SKARTINA_PASSWORD=" + password);
        return words;
    }

    // skartina-cli in the folder, with the portal's hosts; its status, output and error.
    CliRun Run(const std::filesystem::path& folder, const std::string& args, const std::string& password = "demo5678") {
        std::string command = "cd " + Q(folder) + " && env";
        for (const std::string& variable : Environment(password)) command += " " + variable;
        command += " " + std::string(SKARTINA_CLI) + " " + args + " </dev/null >" + Q(dir / "out.txt") + " 2>" + Q(dir / "err.txt");
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadBytes(dir / "out.txt"), ReadBytes(dir / "err.txt")};
    }

    // The folder's register made from the client list.
    void Import(const std::filesystem::path& folder) {
        std::filesystem::create_directories(folder / "Tables");  // a data folder: the register goes here
        std::filesystem::permissions(folder / "Tables", std::filesystem::perms::owner_all);
        WriteBytes(folder / "clients.csv", ClientList());
        const CliRun run = Run(folder, "import-clients clients.csv");
        ASSERT_EQ(run.status, 0) << run.err;
        ASSERT_EQ(run.out, "Εισαγωγή πελατών: 5 νέοι, 0 ενημερώθηκαν, 0 χωρίς αλλαγή, 0 γραμμές παραλείφθηκαν.\n");
    }

    std::vector<std::string> Logins() {
        std::vector<std::string> users;
        std::istringstream in(ReadBytes(dir / "logins.txt"));
        for (std::string user; std::getline(in, user);) users.push_back(user);
        return users;
    }

    std::vector<std::string> ReportLines(const std::filesystem::path& tables) {
        for (const auto& entry : std::filesystem::directory_iterator(tables))
            if (entry.path().filename().string().rfind("retrieval-", 0) == 0)
                return Cp1253Lines(ReadBytes(entry.path()), "report");
        ADD_FAILURE() << "no report in " << tables;
        return {};
    }

    TempDir dir;
    std::unique_ptr<SimulatedPortalProcess> simulator;
};

TEST_F(OfficeEndToEnd, FiveClientsImportedAndFetchedInOneLoginEachSheetAsItsRetrieveAll) {
    Start();
    const auto office = dir / "office";
    Import(office);
    const CliRun run = Run(office, "retrieve-clients --accountant --user logistis");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')),
              "Άντληση 5 πελατών: 90 έτη αντλήθηκαν, 0 χωρίς δήλωση, 0 απέτυχαν, 0 δεν αντλήθηκαν.");
    EXPECT_NE(run.err.find("πελάτης 5 από 5: 123456783 ΠΑΠΑΔΟΠΟΥΛΟΣ Όνομα1, έτος 2003"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("απομένουν περίπου"), std::string::npos);
    EXPECT_EQ(Logins(), std::vector<std::string>{"logistis"});
    EXPECT_EQ(ReportLines(office / "Tables").size(), 1u + 5 * 18);
    EXPECT_FALSE(std::filesystem::exists(OfficeJournalPath(office / "Tables")));

    for (const std::string& taxNumber : kTaxNumbers) {
        const auto single = dir / ("single-" + taxNumber);
        std::filesystem::create_directories(single / "Tables");
        ASSERT_EQ(Run(single, "new in.grd").status, 0);
        const CliRun alone = Run(single, "retrieve-all in.grd out.grd --accountant --user logistis --afm " + taxNumber);
        ASSERT_EQ(alone.status, 0) << alone.err;
        EXPECT_EQ(ReadBytes(office / "Tables" / (taxNumber + "_2021.grd")), ReadBytes(single / "out.grd")) << taxNumber;
        for (const char* source : {"2003.txt", "2013.txt", "2014.pdf", "2020.pdf"})
            EXPECT_EQ(Document(office / "Tables" / (taxNumber + "_sources") / source),
                      Document(single / "Tables" / (taxNumber + "_sources") / source))
                << taxNumber << " " << source;
    }
}

TEST_F(OfficeEndToEnd, ARefusedClientIsReportedAndTheRunGoesOnClientsWithoutCredentialsToo) {
    Start({"--refuse-client", "111111114"});
    const auto office = dir / "office";
    Import(office);
    const CliRun run = Run(office, "retrieve-clients --accountant --user logistis --years 2015-2016");
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(Logins(), std::vector<std::string>{"logistis"});
    const std::vector<std::string> report = ReportLines(office / "Tables");
    ASSERT_EQ(report.size(), 11u);
    // The register's order, by surname.
    EXPECT_EQ(report[3], "111111114;ΓΕΩΡΓΙΟΥ Όνομα3;2016;απέτυχε;η Α.Α.Δ.Ε. δεν επέτρεψε στον λογιστή την επιλογή του πελάτη");
    EXPECT_EQ(report[5], "222222228;ΔΗΜΗΤΡΙΟΥ Όνομα4;2016;αντλήθηκε;");  // the next client after the refused one
    EXPECT_EQ(report[8], "333333331;ΕΥΑΓΓΕΛΟΥ Όνομα5;2015;αντλήθηκε;");
    EXPECT_EQ(report[10], "123456783;ΠΑΠΑΔΟΠΟΥΛΟΣ Όνομα1;2015;αντλήθηκε;");
    EXPECT_FALSE(std::filesystem::exists(office / "Tables" / "111111114_2021.grd"));
    EXPECT_NE(run.out.find("111111114 ΓΕΩΡΓΙΟΥ Όνομα3: 0 αντλήθηκαν, 0 χωρίς δήλωση, 2 απέτυχαν, 0 δεν αντλήθηκαν "
                           "(η Α.Α.Δ.Ε. δεν επέτρεψε στον λογιστή την επιλογή του πελάτη)."),
              std::string::npos)
        << run.out;

    // Each client's own login: the one without credentials is reported, the others log in in turn.
    const CliRun own = Run(office, "retrieve-clients --years 2016", "");
    EXPECT_EQ(own.status, 1) << own.err;
    EXPECT_EQ(Logins(), (std::vector<std::string>{"logistis", "user2", "user3", "user4", "user1"}));
    EXPECT_NE(own.out.find("333333331 ΕΥΑΓΓΕΛΟΥ Όνομα5: 0 αντλήθηκαν, 0 χωρίς δήλωση, 1 απέτυχαν, 0 δεν αντλήθηκαν "
                           "(ο πελάτης δεν έχει στοιχεία εισόδου στο μητρώο)."),
              std::string::npos)
        << own.out;
    EXPECT_TRUE(std::filesystem::exists(office / "Tables" / "111111114_2021.grd"));
}

TEST_F(OfficeEndToEnd, EachClientsOwnLoginRunsInASessionOfItsOwnAndARefusedOneEndsOnlyItself) {
    // The third client's password is no longer the portal's.
    MakePortalData(dir / "portal");
    const std::string accounts = ReadBytes(dir / "portal" / "accounts.txt");
    WriteBytes(dir / "portal" / "accounts.txt", std::regex_replace(accounts, std::regex("user3 pw3"), "user3 changed"));
    simulator = std::make_unique<SimulatedPortalProcess>(
        dir / "portal", std::vector<std::string>{"--login-log", (dir / "logins.txt").string(), "--session-log",
                                                 (dir / "sessions.txt").string()});
    const auto office = dir / "office";
    Import(office);
    const CliRun run = Run(office, "retrieve-clients --years 2016 --afm 090909091,111111114,123456783", "");
    EXPECT_EQ(run.status, 1) << run.err;
    // In the register's order; the refused login is not one that went through.
    EXPECT_EQ(Logins(), (std::vector<std::string>{"user2", "user1"}));
    const std::vector<std::string> report = ReportLines(office / "Tables");
    ASSERT_EQ(report.size(), 4u);
    EXPECT_EQ(report[1], "090909091;ΑΛΦΑ Α.Ε. Όνομα2;2016;αντλήθηκε;");
    EXPECT_EQ(report[2].rfind("111111114;ΓΕΩΡΓΙΟΥ Όνομα3;2016;απέτυχε;", 0), 0u) << report[2];
    EXPECT_EQ(report[3], "123456783;ΠΑΠΑΔΟΠΟΥΛΟΣ Όνομα1;2016;αντλήθηκε;");
    for (const std::string& taxNumber : {kTaxNumbers[0], kTaxNumbers[1]}) {
        SheetGrid sheet;
        ASSERT_TRUE(LoadGridFromFile(office / "Tables" / (taxNumber + "_2021.grd"), sheet)) << taxNumber;
        EXPECT_EQ(YearsWithFigures(sheet), std::vector<int>{2016}) << taxNumber;
    }

    // Every request, with whose session its cookie names: each client starts
    // with no cookie at all, and once a client's requests have begun no
    // request carries an earlier client's session.
    std::vector<std::pair<std::string, std::string>> requests;  // owner, method and path
    std::istringstream in(ReadBytes(dir / "sessions.txt"));
    for (std::string line; std::getline(in, line);)
        requests.emplace_back(line.substr(0, line.find(' ')), line.substr(line.find(' ') + 1));
    int starts = 0;
    std::vector<std::string> owners;  // in the order their sessions were first used
    for (const auto& [owner, request] : requests) {
        if (request == "GET /webtax/incomefp/index.jsp") {
            ++starts;
            EXPECT_EQ(owner, "-") << "client " << starts << " started with a cookie";
        }
        if (owner == "-") continue;
        if (owners.empty() || owners.back() != owner) {
            EXPECT_EQ(std::count(owners.begin(), owners.end(), owner), 0) << owner << "'s session came back: " << request;
            owners.push_back(owner);
        }
    }
    EXPECT_EQ(starts, 3);
    EXPECT_EQ(owners, (std::vector<std::string>{"user2", "user1"}));
}

// Every file of the folder with its bytes; the history's versions by content
// (their names are times), the report and the journal left out.
std::multimap<std::string, std::string> FilesOf(const std::filesystem::path& tables) {
    std::multimap<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(tables)) {
        if (!entry.is_regular_file()) continue;
        std::string name = std::filesystem::relative(entry.path(), tables).string();
        if (name.rfind("retrieval-", 0) == 0) continue;
        if (name.find("_history/") != std::string::npos) name = name.substr(0, name.find('/')) + "/version";
        files.emplace(name, Document(entry.path()));
    }
    return files;
}

TEST_F(OfficeEndToEnd, ARunKilledAtRandomMomentsAndResumedEndsWithTheFilesOfOneUninterrupted) {
    Start();
    const std::string args = "retrieve-clients --accountant --user logistis --years 2012-2015";
    const auto whole = dir / "whole";
    Import(whole);
    ASSERT_EQ(Run(whole, args).status, 0);
    const auto expected = FilesOf(whole / "Tables");
    const auto expectedReport = ReportLines(whole / "Tables");

    const auto broken = dir / "broken";
    Import(broken);
    std::mt19937 random(static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::uniform_int_distribution<int> moment(200, 7000);
    std::vector<int> kills;
    for (int attempt = 0; attempt < 4; ++attempt) {
        const bool resume = std::filesystem::exists(OfficeJournalPath(broken / "Tables"));
        if (attempt > 0 && !resume) break;  // the run ended before its kill, or was killed before it began
        ChildOptions options;
        options.environment = Environment("demo5678");
        options.quiet = true;
        const std::string command = "cd " + Q(broken) + " && exec " + SKARTINA_CLI + " " +
                                    (resume ? "retrieve-clients --resume" : args) + " </dev/null";
        ChildProcess cli("/bin/sh", {"-c", command}, options);
        kills.push_back(moment(random));
        std::this_thread::sleep_for(std::chrono::milliseconds(kills.back()));
        ::kill(-cli.pid(), SIGKILL);  // the command and its browser, at once
        cli.Stop(0);
    }
    SCOPED_TRACE("killed after (ms): " + ::testing::PrintToString(kills));
    if (std::filesystem::exists(OfficeJournalPath(broken / "Tables"))) {
        const CliRun rest = Run(broken, "retrieve-clients --resume");
        EXPECT_EQ(rest.status, 0) << rest.err;
    } else if (!std::filesystem::exists(broken / "Tables" / "333333331_2021.grd")) {
        // Killed before its journal was written: the run is started again.
        const CliRun again = Run(broken, args);
        EXPECT_EQ(again.status, 0) << again.err;
    }
    EXPECT_FALSE(std::filesystem::exists(OfficeJournalPath(broken / "Tables")));
    const auto got = FilesOf(broken / "Tables");
    EXPECT_EQ(got.size(), expected.size());
    for (const auto& [name, bytes] : expected) {
        const auto range = got.equal_range(name);
        bool same = false;
        for (auto it = range.first; it != range.second; ++it) same = same || it->second == bytes;
        EXPECT_TRUE(same) << name;
    }
    for (const auto& [name, bytes] : got) EXPECT_EQ(name.find(".tmp-"), std::string::npos) << name;
    EXPECT_EQ(ReportLines(broken / "Tables"), expectedReport);
}

TEST_F(OfficeEndToEnd, ASheetReplacedByALaterRunIsKeptInItsHistory) {
    Start();
    const auto office = dir / "office";
    Import(office);
    const std::string args = "retrieve-clients --accountant --user logistis --years 2016 --afm 123456783,090909091";
    ASSERT_EQ(Run(office, args).status, 0);
    const std::string first = ReadBytes(office / "Tables" / "123456783_2021.grd");
    // The portal's 2016 return of the first client changes; the second's does not.
    WriteBytes(dir / "portal" / "123456783" / "2016.txt", "301 99999.5\n");
    const CliRun again = Run(office, args);
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_NE(ReadBytes(office / "Tables" / "123456783_2021.grd"), first);
    const auto versions = KeptVersions(office / "Tables", "123456783");
    ASSERT_EQ(versions.size(), 1u);
    EXPECT_EQ(ReadBytes(versions[0]), first);
    EXPECT_TRUE(KeptVersions(office / "Tables", "090909091").empty());
}

TEST_F(OfficeEndToEnd, TwoRunsOnOneFolderTheSecondIsToldAndNothingIsLost) {
    Start();
    const auto office = dir / "office";
    Import(office);
    const std::string args = "retrieve-clients --accountant --user logistis --years 2014-2016";
    // The first run, in the background, with output files of its own.
    std::string command = "cd " + Q(office) + " && env";
    for (const std::string& variable : Environment("demo5678")) command += " " + variable;
    command += " " + std::string(SKARTINA_CLI) + " " + args + " </dev/null >/dev/null 2>" + Q(dir / "first-err.txt");
    int firstStatus = -1;
    std::thread first([&] {
        const int raw = std::system(command.c_str());
        firstStatus = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    });
    bool holding = false;
    for (int i = 0; i < 200 && !holding; ++i) {
        holding = std::filesystem::exists(office / "skartina.lock") &&
                  ReadBytes(office / "skartina.lock").find("retrieve-clients") != std::string::npos;
        if (!holding) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_TRUE(holding);
    // A second run, and a resume, while the first goes on: refused, told, nothing touched.
    const std::string told = "» χρησιμοποιείται ήδη από το skartina-cli retrieve-clients, διεργασία ";
    for (const std::string& second : {args, std::string("retrieve-clients --resume")}) {
        const CliRun refused = Run(office, second);
        EXPECT_EQ(refused.status, 1) << second;
        EXPECT_NE(refused.err.find(told), std::string::npos) << refused.err;
    }
    first.join();
    EXPECT_EQ(firstStatus, 0) << ReadBytes(dir / "first-err.txt");
    // Every client's years of the one run are in its sheet: no run saved over another's.
    EXPECT_EQ(Logins(), std::vector<std::string>{"logistis"});
    for (const std::string& taxNumber : {kTaxNumbers[0], kTaxNumbers[1], kTaxNumbers[2], kTaxNumbers[3], kTaxNumbers[4]}) {
        SheetGrid sheet;
        ASSERT_TRUE(LoadGridFromFile(office / "Tables" / (taxNumber + "_2021.grd"), sheet)) << taxNumber;
        EXPECT_EQ(YearsWithFigures(sheet), (std::vector<int>{2016, 2015, 2014})) << taxNumber;
        EXPECT_TRUE(KeptVersions(office / "Tables", taxNumber).empty()) << taxNumber;
    }
    EXPECT_FALSE(std::filesystem::exists(OfficeJournalPath(office / "Tables")));
}

TEST_F(OfficeEndToEnd, TheImportNamesItsBadLinesAndTheResumeNeedsAJournal) {
    const auto office = dir / "office";
    std::filesystem::create_directories(office / "Tables");  // a data folder: the register goes here
    std::filesystem::permissions(office / "Tables", std::filesystem::perms::owner_all);
    WriteBytes(office / "bad.csv", "AFM,Surname\n123456783,GOOD\n123456789,BAD CHECK\n123456783,TWICE\n");
    const CliRun inOffice = Run(office, "import-clients bad.csv");
    EXPECT_EQ(inOffice.status, 1);
    EXPECT_EQ(inOffice.out, "Εισαγωγή πελατών: 1 νέος, 0 ενημερώθηκαν, 0 χωρίς αλλαγή, 2 γραμμές παραλείφθηκαν.\n");
    EXPECT_EQ(inOffice.err, "Γραμμή 3: ο Α.Φ.Μ. «123456789» δεν είναι έγκυρος.\n"
                            "Γραμμή 4: ο Α.Φ.Μ. 123456783 υπάρχει ήδη στη γραμμή 2.\n");
    EXPECT_TRUE(std::filesystem::exists(office / "Tables" / "123456783.cst"));

    const CliRun resume = Run(office, "retrieve-clients --resume");
    EXPECT_EQ(resume.status, 2);
    EXPECT_NE(resume.err.find("δεν υπάρχει ημιτελής άντληση"), std::string::npos);
}

}  // namespace
}  // namespace skartina::test
