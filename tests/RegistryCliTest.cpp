// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Codepage.h"
#include "common/TextFile.h"
#include "registry/TaxpayerRecord.h"
#include "support/CliRunner.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace skartina {
namespace {

using test::Cli;
using test::CliRun;
using test::Q;
using test::ReadBytes;
using test::TempDir;

TEST(RegistryCli, TaxNumberPrintsOneVerdictPerText) {
    TempDir dir;
    CliRun run = Cli(dir, "afm 123456783 100000090 000000012");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "valid\nvalid\nvalid\n");
    // The whole text answers: nine digits with their check digit, nothing before or after.
    run = Cli(dir, "afm 123456783 123456784 12345678 '' 000000000 ' 123456783' '123456783 ' EL123456783");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "valid\ninvalid\ninvalid\ninvalid\ninvalid\ninvalid\ninvalid\ninvalid\n");
    EXPECT_EQ(Cli(dir, "afm").status, 2);
}

// The working folder's data folder, found open to other users, is narrowed
// when a command takes it, and that is said once.
TEST(RegistryCli, StartUpNarrowsAnOpenDataFolderAndSaysSoOnce) {
    TempDir dir;
    std::filesystem::create_directory(dir / "Tables");
    std::filesystem::permissions(dir / "Tables", std::filesystem::perms(0755));
    const auto run = [&] {
        const std::string command =
            "cd " + Q(dir.path()) + " && " + SKARTINA_CLI + " retrieve-clients </dev/null >/dev/null 2>err.txt";
        EXPECT_EQ(std::system(command.c_str()), 0);
        return test::ReadBytes(dir / "err.txt");
    };
    EXPECT_EQ(run(), "skartina-cli: Ο φάκελος «" + (dir / "Tables").string() +
                         "» ήταν προσβάσιμος και σε άλλους χρήστες του υπολογιστή· έγινε ιδιωτικός (0700).\n");
    struct stat info {};
    ASSERT_EQ(stat((dir / "Tables").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(run(), "") << "said once";
}

// A "Tables" another user could have planted in the working folder is
// refused by every command that would use it, with the one sentence; nothing
// lands in it and nothing of it is listed.
TEST(RegistryCli, APlantedDataFolderIsRefused) {
    enum class Plant { Link, Foreign, OpenToAll };
    for (const auto& [plant, reason] : std::vector<std::pair<Plant, std::string>>{
             {Plant::Link, "σύνδεσμος"}, {Plant::Foreign, "άλλον χρήστη"}, {Plant::OpenToAll, "0777"}}) {
        TempDir dir;
        const std::filesystem::path real = plant == Plant::Link ? dir / "theirs" : dir / "Tables";
        std::filesystem::create_directory(real);
        test::WriteBytes(real / "123456783.cst", "");
        ASSERT_EQ(chmod(real.c_str(), plant == Plant::OpenToAll ? 0777 : 0755), 0);
        if (plant == Plant::Link) std::filesystem::create_directory_symlink(real, dir / "Tables");
        if (plant == Plant::Foreign) ASSERT_EQ(chown(real.c_str(), 65534, 65534), 0) << "the test needs root";
        test::WriteBytes(dir / "clients.csv", "ΑΦΜ;Επώνυμο\n090909091;ΑΛΦΑ\n");
        const std::string sentence = "Tables» δεν χρησιμοποιείται: ";
        for (const std::string command : {"import-clients clients.csv", "clients ."}) {
            const std::string shell = "cd " + Q(dir.path()) + " && " + SKARTINA_CLI + " " + command + " >out.txt 2>err.txt";
            const int raw = std::system(shell.c_str());
            EXPECT_EQ(WEXITSTATUS(raw), 1) << command;
            const std::string err = ReadBytes(dir / "err.txt");
            EXPECT_NE(err.find(sentence), std::string::npos) << command << ": " << err;
            EXPECT_NE(err.find(reason), std::string::npos) << command << ": " << err;
            EXPECT_EQ(ReadBytes(dir / "out.txt"), "") << command;
        }
        EXPECT_EQ(test::FolderNames(real), std::vector<std::string>{"123456783.cst"});
    }
}

TEST(RegistryCli, ListsSortedAsAtOpening) {
    TempDir dir;
    const auto tables = dir / "Tables";
    std::filesystem::create_directory(tables);
    EXPECT_EQ(Cli(dir, "clients " + Q(dir.path())).err, "Δεν υπάρχει καταχωρημένος κανένας πελάτης.\n");
    EXPECT_EQ(Cli(dir, "analyses " + Q(dir.path())).err, "Δεν υπάρχει καταχωρημένη καμία δήλωση.\n");

    WriteTaxpayerRecord(tables / "300000000.cst", {"300000000", "Γ", "Γιώργος", "Πέτρος", "u", "p"});
    WriteTaxpayerRecord(tables / "100000000.cst", {"100000000", "Β", "", "", "u", "p"});
    WriteTaxpayerRecord(tables / "200000000.cst", {"200000000", "α", "Άννα", "", "u", "p"});
    for (const char* name : {"300000000_2021.grd", "100000000_2021.grd", "900000000_2021.grd", "200000000_2020.grd"})
        test::WriteBytes(tables / name, "x");

    CliRun run = Cli(dir, "clients " + Q(dir.path()));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "α\tΆννα\t\t200000000\nΒ\t\t\t100000000\nΓ\tΓιώργος\tΠέτρος\t300000000\n");

    run = Cli(dir, "analyses " + Q(dir.path()));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Β\t\t100000000\nΓ\tΓιώργος\t300000000\n\t\t900000000\n");
    EXPECT_EQ(Cli(dir, "analyses --year 2020 " + Q(dir.path())).out, "α\tΆννα\t200000000\n");

    EXPECT_EQ(Cli(dir, "analyses " + Q(dir.path()) + " --year 20x1").status, 2);
    EXPECT_EQ(Cli(dir, "clients").status, 2);
    EXPECT_EQ(Cli(dir, "clients " + Q(dir / "nowhere")).status, 1);
}

TEST(RegistryCli, ControlCharactersInCellsArePrintedAsEscapesAndBadEntriesNamed) {
    TempDir dir;
    const auto tables = dir / "Tables";
    std::filesystem::create_directory(tables);
    WriteTaxpayerRecord(tables / "100000000.cst", {"100000000", "Α\tΒ", "\x1b[31mκόκκινο", "a\\b", "u", "p"});
    test::WriteBytes(tables / "2\n3\r\x7f\xc2\x9b\xc2\xa0_2021.grd", "x");
    std::filesystem::create_directory(tables / "300000000.cst");
    ASSERT_EQ(::mkfifo((tables / "400000000.cst").c_str(), 0600), 0);

    CliRun run = Cli(dir, "clients " + Q(dir.path()));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Α\\tΒ\t\\x1b[31mκόκκινο\ta\\\\b\t100000000\n");
    EXPECT_NE(run.err.find("«300000000.cst»"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("«400000000.cst»"), std::string::npos) << run.err;

    run = Cli(dir, "analyses " + Q(dir.path()));
    EXPECT_EQ(run.out, "\t\t2\\n3\\r\\x7f\\u009b\xc2\xa0\n");  // a no-break space is no control
}

TEST(RegistryCli, ExportsOfASavedSheet) {
    TempDir dir;
    ASSERT_EQ(Cli(dir, "new " + Q(dir / "a.grd")).status, 0);
    CliRun run = Cli(dir, "csv " + Q(dir / "a.grd") + " " + Q(dir / "a.csv") + " --afm 123456783 --name 'ΠΑΠΑΣ ΝΙΚΟΣ'");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string csv = Cp1253ToUtf8(ReadBytes(dir / "a.csv"));
    EXPECT_TRUE(csv.starts_with("Υποχρεος : ΠΑΠΑΣ ΝΙΚΟΣ;;;;Α.Φ.Μ. : 123456783\r\n")) << csv.substr(0, 80);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 39);

    run = Cli(dir, "xlsx " + Q(dir / "a.grd") + " " + Q(dir / "a.xlsx") + " --name Χ");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadBytes(dir / "a.xlsx").substr(0, 2), "PK");

    EXPECT_EQ(Cli(dir, "csv " + Q(dir / "a.grd")).status, 2);
    EXPECT_EQ(Cli(dir, "xlsx " + Q(dir / "a.grd") + " x.xlsx --afm").status, 2);
    EXPECT_EQ(Cli(dir, "xlsx " + Q(dir / "a.grd") + " x.xlsx --colour red").status, 2);
    run = Cli(dir, "csv " + Q(dir / "none.grd") + " " + Q(dir / "b.csv"));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("none.grd"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "b.csv"));
}

}  // namespace
}  // namespace skartina
