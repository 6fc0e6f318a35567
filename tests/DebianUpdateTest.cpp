// SPDX-License-Identifier: GPL-3.0-or-later
// The version check as a Debian system takes it, against the simulated update
// server: never a Windows installer; the package of the file list fetched whole
// and handed to apt, or the download page offered.

#include "update/VersionCheck.h"
#include "support/TestSupport.h"
#include "support/UpdateServerSim.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace skartina {
namespace {

namespace fs = std::filesystem;
using test::SimAnswer;

const std::string kPackageBytes(3000, 'D');
// sha256sum of the 3000 bytes above.
const std::string kPackageSha256 = "d24ac41c960d4a56aaed9e737f915609949b126da7259c837bead6d0fe2978c0";
const std::string kExeBytes(5000, 'X');

std::string PackageName() { return "skartina_1.1-1_" + std::string(DebianArchitecture()) + ".deb"; }

std::string ListWith(const std::string& packageField, long long packageSize) {
    return "2<br/>Setup.exe<br/>5000<br/>" + packageField + "<br/>" + std::to_string(packageSize) + "<br/>";
}

class NullView : public VersionCheckView {
public:
    void openProgress() override {}
    void setDetails(const std::string&) override {}
    void showFigures(const ProgressFigures&) override {}
    void pump() override {}
    void closeProgress() override {}
};

struct DebianFixture {
    explicit DebianFixture(bool answerYes = true) : prompter(answerYes) {}

    test::TempDir dir;
    test::UpdateServerSim server;
    std::unique_ptr<HttpClient> http = MakeCurlHttpClient();
    test::ScriptedPrompter prompter;
    NullView view;
    TransferCounters counters;
    std::vector<fs::path> started;
    std::vector<fs::path> installed;
    std::vector<std::string> opened;
    bool graphicalAuthorisation = true;

    VersionCheck check(const std::string& host) {
        VersionCheckSetup setup{dir.path(), host, *http, prompter, view,
                                [this](const fs::path& program) { started.push_back(program); }, counters,
                                {std::chrono::milliseconds(1000), std::chrono::milliseconds(300),
                                 std::chrono::milliseconds(300)}};
        setup.kind = UpdateKind::DebianPackage;
        setup.install = [this](const fs::path& package) {
            installed.push_back(package);
            return graphicalAuthorisation;
        };
        setup.openPage = [this](const std::string& url) { opened.push_back(url); };
        return VersionCheck(std::move(setup));
    }
    VersionCheck check() { return check(server.base()); }
    // A newer version whose list names the Windows installer and, given a field, a package.
    void serve(const std::string& list, SimAnswer package = {200, kPackageBytes}) {
        server.offer("2022 (ver 01.00)", list, {200, kExeBytes});
        server.answer(std::string(kPackageFolderPath) + PackageName(), std::move(package));
    }
    bool exeRequested() const {
        for (const auto& r : server.requests())
            if (r.target.find("httpdnld.php") != std::string::npos) return true;
        return false;
    }
    fs::path package() const { return fs::absolute(dir / "Upgrade" / PackageName()); }
};

TEST(DebianUpdate, ThePackageIsFetchedWholeAndHandedOverNeverTheWindowsInstaller) {
    const struct {
        const char* what;
        std::string field;
        bool graphical;
        VersionCheckResult result;
    } cases[] = {
        {"pkexec at hand", PackageName() + " sha256=" + kPackageSha256, true, VersionCheckResult::PackageHandedOver},
        {"no graphical authorisation", PackageName(), false, VersionCheckResult::InstallCommandTold},
        {"checksum in capitals", PackageName() + " sha256=D24AC41C960D4A56AAED9E737F915609949B126DA7259C837BEAD6D0FE2978C0",
         true, VersionCheckResult::PackageHandedOver},
    };
    for (const auto& c : cases) {
        DebianFixture f;
        f.graphicalAuthorisation = c.graphical;
        f.serve(ListWith(c.field, kPackageBytes.size()));

        EXPECT_EQ(f.check().CheckForNewVersion(true), c.result) << c.what;
        EXPECT_FALSE(f.exeRequested()) << c.what;
        EXPECT_TRUE(f.started.empty()) << c.what;
        EXPECT_FALSE(fs::exists(f.dir / "Upgrade" / "Setup.exe")) << c.what;
        ASSERT_EQ(f.prompter.asked.size(), 1u) << c.what;
        EXPECT_NE(f.prompter.asked[0].find("«2022 (ver 01.00)»"), std::string::npos) << f.prompter.asked[0];
        EXPECT_NE(f.prompter.asked[0].find(PackageName()), std::string::npos) << f.prompter.asked[0];
        EXPECT_EQ(test::ReadBytes(f.package()), kPackageBytes) << c.what;
        EXPECT_EQ(f.installed, std::vector<fs::path>{f.package()}) << c.what;
        struct stat st {};
        ASSERT_EQ(::stat((f.dir / "Upgrade").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u) << c.what;
        ASSERT_EQ(f.prompter.informed.size(), 1u) << c.what;
        if (c.graphical)
            EXPECT_NE(f.prompter.informed[0].find("δόθηκε στο σύστημα για εγκατάσταση"), std::string::npos);
        else
            EXPECT_NE(f.prompter.informed[0].find("sudo apt-get install " + f.package().string()), std::string::npos)
                << f.prompter.informed[0];
    }
}

TEST(DebianUpdate, APackageNotAsTheListSaysIsNeverKeptNorHandedOver) {
    const std::string wrongSha(64, 'a');
    const struct {
        const char* what;
        std::string field;
        long long announced;
        SimAnswer answer;
    } cases[] = {
        {"checksum differs", PackageName() + " sha256=" + wrongSha, 3000, {200, kPackageBytes}},
        {"shorter than announced", PackageName(), 3001, {200, kPackageBytes}},
        {"longer than announced", PackageName(), 2999, {200, kPackageBytes}},
        {"cut short on the wire", PackageName(), 3000, {200, kPackageBytes, SimAnswer::Wire::CutShort, 1000}},
        {"error status", PackageName(), 3000, {404, kPackageBytes}},
    };
    for (const auto& c : cases) {
        DebianFixture f;
        f.serve(ListWith(c.field, c.announced), c.answer);
        EXPECT_EQ(f.check().CheckForNewVersion(true), VersionCheckResult::Failed) << c.what;
        EXPECT_TRUE(f.installed.empty()) << c.what;
        EXPECT_TRUE(f.started.empty()) << c.what;
        EXPECT_TRUE(test::FolderNames(f.dir / "Upgrade").empty()) << c.what;  // no temporary file left either
        EXPECT_EQ(f.prompter.informed, std::vector<std::string>{SiteNotAnsweringMessage(true)}) << c.what;
    }
}

TEST(DebianUpdate, TheQuestionTellsWhatChangedWhenTheHostSays) {
    DebianFixture f(/*answerYes=*/false);
    f.serve(ListWith(PackageName(), 3000));
    f.server.answer(kChangesPath, {200, "Νέοι κωδικοί του 2021.\n\x1b[31mΔιορθώσεις.\n"});
    EXPECT_EQ(f.check().CheckForNewVersion(true), VersionCheckResult::Declined);
    ASSERT_EQ(f.prompter.asked.size(), 1u);
    EXPECT_NE(f.prompter.asked[0].find("Αλλαγές:\r\nΝέοι κωδικοί του 2021.\n[31mΔιορθώσεις."), std::string::npos)
        << f.prompter.asked[0];
}

TEST(DebianUpdate, WithoutAPackageTheDownloadPageIsOfferedAndNothingFetched) {
    for (const bool yes : {true, false}) {
        DebianFixture f(yes);
        f.serve("1<br/>Setup.exe<br/>5000<br/>");
        EXPECT_EQ(f.check().CheckForNewVersion(false), VersionCheckResult::NoPackage);
        EXPECT_FALSE(f.exeRequested());
        EXPECT_FALSE(fs::exists(f.dir / "Upgrade"));
        ASSERT_EQ(f.prompter.asked.size(), 1u);
        EXPECT_NE(f.prompter.asked[0].find("σελίδα λήψης"), std::string::npos);
        EXPECT_EQ(f.opened, yes ? std::vector<std::string>{f.server.base() + "/versions/VELMORA2021/download.html"}
                                : std::vector<std::string>{});
    }
}

TEST(DebianUpdate, DeclinedAndUpToDateFetchNoPackage) {
    DebianFixture declined(/*answerYes=*/false);
    declined.serve(ListWith(PackageName(), 3000));
    EXPECT_EQ(declined.check().CheckForNewVersion(true), VersionCheckResult::Declined);
    EXPECT_EQ(declined.server.requests().size(), 4u);  // probe, version, what changed, list

    DebianFixture same;
    same.server.offer("2021 (ver 01.00)", ListWith(PackageName(), 3000), {200, kExeBytes});
    EXPECT_EQ(same.check().CheckForNewVersion(true), VersionCheckResult::UpToDate);
    EXPECT_EQ(same.prompter.informed, std::vector<std::string>{"Δεν υπάρχει νεότερη έκδοση της εφαρμογής"});
}

TEST(DebianUpdate, AnUnreachableHostIsToldInOneSentenceOnlyWhenTheUserAsked) {
    std::string closedPort;
    {
        test::UpdateServerSim gone;
        closedPort = gone.base();
    }
    for (const bool interactive : {true, false}) {
        DebianFixture f;
        EXPECT_EQ(f.check(closedPort).CheckForNewVersion(interactive), VersionCheckResult::Unreachable);
        EXPECT_EQ(f.prompter.informed,
                  interactive ? std::vector<std::string>{"Δεν ήταν δυνατή η σύνδεση με τον δικτυακό τόπο της εφαρμογής· "
                                                         "ελέγξτε τη σύνδεση στο internet και δοκιμάστε ξανά."}
                              : std::vector<std::string>{});
        EXPECT_FALSE(fs::exists(f.dir / "Upgrade"));
    }
}

TEST(DebianUpdate, OnlyThisEditionsPackageForThisArchitectureIsTaken) {
    const std::string arch(DebianArchitecture());
    const struct {
        std::string list;
        std::string taken;  // empty: none
        std::string sha256;
    } cases[] = {
        {"1<br/>skartina_1.1-1_" + arch + ".deb<br/>10<br/>", "skartina_1.1-1_" + arch + ".deb", ""},
        {"1<br/>skartina_1.1-1_sparc.deb<br/>10<br/>", "", ""},
        {"1<br/>other_1.1-1_" + arch + ".deb<br/>10<br/>", "", ""},
        {"1<br/>skartina_" + arch + ".deb<br/>10<br/>", "", ""},
        {"1<br/>skartina_../../x_" + arch + ".deb<br/>10<br/>", "", ""},
        {"1<br/>skartina_1.1 1_" + arch + ".deb<br/>10<br/>", "", ""},
        {"1<br/>skartina_1.1-1_" + arch + ".deb<br/>0<br/>", "", ""},
        {"2<br/>Setup.exe<br/>5<br/>skartina_2.0+b1~x_" + arch + ".deb sha256=" + kPackageSha256 + "<br/>10<br/>",
         "skartina_2.0+b1~x_" + arch + ".deb", kPackageSha256},
        // A checksum that is not 64 hexadecimal digits is no checksum.
        {"1<br/>skartina_1_" + arch + ".deb sha256=abc<br/>10<br/>", "skartina_1_" + arch + ".deb", ""},
    };
    for (const auto& c : cases) {
        const auto found = DebianPackageIn(FileListEntries(c.list), arch);
        EXPECT_EQ(found ? found->name : "", c.taken) << c.list;
        if (found) EXPECT_EQ(found->sha256, c.sha256) << c.list;
    }
}

}  // namespace
}  // namespace skartina
