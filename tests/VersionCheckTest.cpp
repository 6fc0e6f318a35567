// SPDX-License-Identifier: GPL-3.0-or-later
// The version check against the simulated update server, through the real
// libcurl client, with short time-outs.

#include "update/VersionCheck.h"
#include "common/TextFile.h"
#include "support/UpdateServerSim.h"
#include "support/TestSupport.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace skartina {
namespace {

namespace fs = std::filesystem;
using test::SimAnswer;
using Wire = SimAnswer::Wire;

const std::string kFileList350 = "2<br/>a.txt<br/>100<br/>b.txt<br/>250<br/>";
const std::string kFailureText =
    "ΠΡΟΣΟΧΗ !! \r\n"
    " Δημιουργήθηκε κάποιο πρόβλημα με την εγγραφή των δεδομένων και η αναβάθμιση δεν έγινε.\r\n"
    " Προσπαθείστε πάλι εκτελώντας τη συντόμευση ως εξής : \r\n"
    " Κάνετε κλικ με το δεξί πλήκτρο του ποντικιού πάνω στο εικονίδιο και επιλέξτε την διαδικασία \r\n"
    " \"εκτέλεση ώς διαχειριστής\" (run as administrator) ";

TEST(FileList, ExpectedBytesIsTheSumOfTheAnnouncedSizes) {
    const struct {
        std::string list;
        long long expected;
    } cases[] = {
        {kFileList350, 350},
        {"0<br/>", 0},
        {"1<br/>a<br/>100<br/>b<br/>250<br/>", 100},  // fields past the N entries are not read
        {"-1<br/>", 0},
        {"1<br/><br/>7<br/>", 7},
    };
    for (const auto& c : cases) EXPECT_EQ(ExpectedBytesOf(c.list), c.expected) << c.list;
}

TEST(FileList, AFieldThatIsNotAnIntegerOrIsMissingIsAnError) {
    for (const std::string list : {
             "2<br/>a<br/>100<br/>b<br/>2x0<br/>",
             "x<br/>",
             "",
             "2",
             "1<br/>a<br/>100",      // the last field without its end
             "2<br/>a<br/>100<br/>",  // announces more entries than it holds
             "1<br/>a<br/> 100<br/>",
             "1<br/>a<br/>1.5<br/>",
             "1<br/>a<br/><br/>",
             "2<br/>a<br/>9223372036854775807<br/>b<br/>1<br/>",
             "1<br/>a<br/>99999999999999999999<br/>",
         })
        EXPECT_THROW(ExpectedBytesOf(list), FileListError) << list;
}

TEST(VersionCheckMessages, TheSiteMessageNeverSpeaksOfWritingOrAdministrators) {
    for (const bool interactive : {true, false}) {
        const std::string text = SiteNotAnsweringMessage(interactive);
        EXPECT_NE(text.find("δεν απάντησε"), std::string::npos);
        EXPECT_EQ(text.find("διαχειριστής"), std::string::npos);
        EXPECT_EQ(text.find("εγγραφή"), std::string::npos);
    }
    EXPECT_NE(SiteNotAnsweringMessage(false).find("επόμενη εκκίνηση"), std::string::npos);
}

TEST(VersionOrder, PlainByteComparisonWithTheLocalVersion) {
    const struct {
        std::string latest;
        bool newer;
    } cases[] = {
        {"2021 (ver 01.00)", false},
        {"2021 (ver 01.01)", true},
        {"2022 (ver 01.00)", true},
        {"2021 (ver 01.00)\r\n", true},
        {"2021 (ver 01.00)\n", true},
        {"", false},
        {"2021 (ver 01.0", false},
        {"2020 (ver 09.99)", false},
        {"2021 (ver 01.\xCE\xB1", true},  // bytes above 127 order after the digits
        {"<html>error</html>", true},
    };
    for (const auto& c : cases) EXPECT_EQ(IsNewerVersion(c.latest), c.newer) << c.latest;
}

TEST(ProgressFiguresAfterTransfer, ShownUntilMoreArrivesThanWasAnnounced) {
    const struct {
        long long received, expected;
        bool shown;
        std::optional<int> percent;
    } cases[] = {
        {0, 0, true, std::nullopt}, {2, 0, false, 0},   {175, 350, true, 50},
        {1, 3, true, 33},           {2, 3, true, 67},   {350, 350, true, 100},
        {351, 350, false, 0},       {0, 350, true, 0},
    };
    for (const auto& c : cases) {
        const ProgressFigures f = FiguresAfterTransfer({c.received, c.expected, 0});
        EXPECT_EQ(f.shown, c.shown) << c.received << "/" << c.expected;
        EXPECT_EQ(f.percent, c.percent) << c.received << "/" << c.expected;
        EXPECT_EQ(f.received, c.received);
        EXPECT_EQ(f.expected, c.expected);
    }
}

// The installer's way, as a Windows build takes it on any system.
VersionCheck WindowsCheck(VersionCheckSetup setup) {
    setup.kind = UpdateKind::WindowsInstaller;
    return VersionCheck(std::move(setup));
}

class RecordingView : public VersionCheckView {
public:
    void openProgress() override { events.push_back("open"); }
    void setDetails(const std::string& text) override { details.push_back(text); }
    void showFigures(const ProgressFigures& f) override { figures.push_back(f); }
    void pump() override {}
    void closeProgress() override { events.push_back("close"); }
    std::vector<std::string> events;
    std::vector<std::string> details;
    std::vector<ProgressFigures> figures;
};

struct Started {
    fs::path program;
    std::string bytes;
    bool executable = false;
};

struct CheckFixture {
    explicit CheckFixture(bool answerYes = true) : prompter(answerYes) {}

    test::TempDir dir;
    test::UpdateServerSim server;
    std::unique_ptr<HttpClient> http = MakeCurlHttpClient();
    test::ScriptedPrompter prompter;
    RecordingView view;
    TransferCounters counters;
    std::vector<Started> started;

    VersionCheck check() {
        const ProgramStarter start = [this](const fs::path& program) {
            struct stat st {};
            ::stat(program.c_str(), &st);
            started.push_back({program, test::ReadBytes(program), (st.st_mode & S_IXUSR) != 0});
        };
        return WindowsCheck({dir.path(), server.base(), *http, prompter, view, start, counters,
                             {std::chrono::milliseconds(1000), std::chrono::milliseconds(300),
                              std::chrono::milliseconds(300)}});
    }
    // A service that is up and offers the given version, list and installer.
    void serve(const std::string& version, const std::string& list = kFileList350,
               SimAnswer installer = {200, std::string(5000, 'I')}) {
        server.offer(version, list, std::move(installer));
    }
    fs::path installer() const { return dir / "Upgrade" / "Setup.exe"; }
    std::vector<std::string> targets() const {
        std::vector<std::string> t;
        for (const auto& r : server.requests()) t.push_back(r.target);
        return t;
    }
};

TEST(VersionCheckAgainstServer, SameVersionIsToldOnlyWhenTheUserAsked) {
    for (const bool interactive : {true, false}) {
        CheckFixture f;
        f.serve("2021 (ver 01.00)");
        EXPECT_EQ(f.check().CheckForNewVersion(interactive), VersionCheckResult::UpToDate);
        EXPECT_EQ(f.prompter.informed,
                  interactive ? std::vector<std::string>{"Δεν υπάρχει νεότερη έκδοση της εφαρμογής"}
                              : std::vector<std::string>{});
        EXPECT_TRUE(f.prompter.asked.empty());
        EXPECT_EQ(f.targets(), (std::vector<std::string>{"/versions/VELMORA2021/enableinternetcheck.php",
                                                         "/versions/VELMORA2021/getvelmoraver.php"}));
        EXPECT_EQ(f.view.events, (std::vector<std::string>{"open", "close"}));
        EXPECT_TRUE(fs::is_directory(f.dir / "Upgrade"));
    }
}

TEST(VersionCheckAgainstServer, NewerVersionAsksAndNoLeavesTheOldInstaller) {
    for (const std::string version : {"2021 (ver 01.01)", "2022 (ver 01.00)", "2021 (ver 01.00)\r\n"}) {
        CheckFixture f(/*answerYes=*/false);
        f.serve(version);
        fs::create_directory(f.dir / "Upgrade");
        test::WriteBytes(f.installer(), "old installer");

        EXPECT_EQ(f.check().CheckForNewVersion(false), VersionCheckResult::Declined) << version;
        EXPECT_EQ(f.prompter.asked,
                  std::vector<std::string>{"Υπάρχει νέα έκδοση της εφαρμογής.\r\n Η διαδικασία ενημέρωσης θα "
                                           "διαρκέσει πολύ λίγο χρόνο. Θέλετε να την κατεβάσετε τώρα;"});
        EXPECT_TRUE(f.prompter.informed.empty());
        EXPECT_EQ(test::ReadBytes(f.installer()), "old installer");
        EXPECT_EQ(f.targets().size(), 2u);  // neither the list nor the installer is fetched
        EXPECT_TRUE(f.started.empty());
    }
}

TEST(VersionCheckAgainstServer, AnInstallerMustBeLongerThan1000Bytes) {
    const struct {
        size_t size;
        VersionCheckResult result;
    } cases[] = {{1000, VersionCheckResult::NoInstaller}, {1001, VersionCheckResult::InstallerStarted}};
    for (const auto& c : cases) {
        CheckFixture f;
        std::string body(c.size, '\0');
        for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>(i * 7);  // every byte value, NULs included
        f.serve("2022 (ver 01.00)", kFileList350, {200, body});
        fs::create_directory(f.dir / "Upgrade");
        test::WriteBytes(f.installer(), "old installer");

        EXPECT_EQ(f.check().CheckForNewVersion(true), c.result) << c.size;
        EXPECT_TRUE(f.prompter.informed.empty()) << c.size;
        if (c.size == 1000) {
            EXPECT_FALSE(fs::exists(f.installer()));  // the old one went when the user agreed
            EXPECT_TRUE(f.started.empty());
            EXPECT_EQ(f.view.details, std::vector<std::string>{"Κατέβασμα των δεδομένων..."});
        } else {
            ASSERT_EQ(f.started.size(), 1u);
            EXPECT_EQ(f.started[0].program, f.installer());
            EXPECT_EQ(f.started[0].bytes, body);
            EXPECT_TRUE(f.started[0].executable);
            EXPECT_EQ(f.view.details, (std::vector<std::string>{"Κατέβασμα των δεδομένων...",
                                                                "Δημιουργία του εκτελέσιμου αρχείου..."}));
        }
        EXPECT_EQ(f.view.events, (std::vector<std::string>{"open", "close"}));
    }
}

TEST(VersionCheckAgainstServer, RequestsCarryTheClientsHeadersAndItsCookies) {
    CheckFixture f;
    f.serve("2022 (ver 01.00)");
    SimAnswer probe{200, "OK"};
    probe.headers = {{"Set-Cookie", "sid=42; Path=/"}};
    f.server.answer("/versions/VELMORA2021/enableinternetcheck.php", probe);
    ASSERT_EQ(f.check().CheckForNewVersion(true), VersionCheckResult::InstallerStarted);
    const auto requests = f.server.requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[2].target, "/versions/VELMORA2021/httpfilelist.php?cp=*.txt");
    EXPECT_EQ(requests[3].target, "/versions/VELMORA2021/httpdnld.php");
    for (const auto& r : requests) {
        EXPECT_EQ(r.userAgent, "Mozilla/3.0 (compatible; Indy Library)");
        EXPECT_EQ(r.accept, "text/html, */*");
    }
    EXPECT_EQ(requests[0].cookie, "");
    EXPECT_EQ(requests[3].cookie, "sid=42");
}

TEST(VersionCheckAgainstServer, CountersFollowEveryEndedTransfer) {
    CheckFixture f;
    const std::string version = "2022 (ver 01.00)";
    const std::string list = "1<br/>Setup.exe<br/>8000<br/>";
    f.serve(version, list, {200, std::string(4000, 'I')});
    ASSERT_EQ(f.check().CheckForNewVersion(true), VersionCheckResult::InstallerStarted);

    EXPECT_EQ(f.counters.ExpectedBytes, 8000);
    const long long all = 2 + static_cast<long long>(version.size() + list.size()) + 4000;
    EXPECT_EQ(f.counters.ReceivedBytes, all);
    ASSERT_EQ(f.view.figures.size(), 4u);
    EXPECT_FALSE(f.view.figures[0].shown);  // "OK" before any list: 2 > 0
    EXPECT_TRUE(f.view.figures[3].shown);
    EXPECT_EQ(f.view.figures[3].received, all);
    EXPECT_EQ(f.view.figures[3].percent, static_cast<int>(std::lround(all * 100.0 / 8000)));

    // The counters run on through the next check of the same run.
    f.serve("2021 (ver 01.00)", list);
    f.check().CheckForNewVersion(false);
    EXPECT_EQ(f.counters.ReceivedBytes, all + 2 + 16);
}

TEST(VersionCheckAgainstServer, AnUnreachableServiceEndsTheCheckSilently) {
    const struct {
        const char* what;
        SimAnswer probe;
    } cases[] = {
        {"lower case", {200, "ok"}},
        {"with a line break", {200, "OK\n"}},
        {"with a blank", {200, " OK"}},
        {"empty", {200, ""}},
        {"an error status", {500, "OK"}},
        {"never answers in time", {200, "OK", Wire::Late}},
        {"cut short", {200, "OK", Wire::CutShort, 1}},
    };
    for (const auto& c : cases) {
        CheckFixture f;
        f.serve("2022 (ver 01.00)");
        f.server.answer("/versions/VELMORA2021/enableinternetcheck.php", c.probe);
        EXPECT_FALSE(f.check().ServerReachable()) << c.what;
        EXPECT_EQ(f.check().CheckForNewVersion(true), VersionCheckResult::Unreachable) << c.what;
        EXPECT_TRUE(f.prompter.informed.empty()) << c.what;
        EXPECT_TRUE(f.prompter.asked.empty()) << c.what;
        EXPECT_EQ(f.view.events, (std::vector<std::string>{"open", "close"})) << c.what;
    }
}

TEST(VersionCheckAgainstServer, NoServerAtAllIsUnreachable) {
    CheckFixture f;
    std::string closedPort;
    {
        test::UpdateServerSim gone;
        closedPort = gone.base();
    }
    ProgramStarter never = [](const fs::path&) { FAIL(); };
    VersionCheck check = WindowsCheck({f.dir.path(), closedPort, *f.http, f.prompter, f.view, never, f.counters});
    EXPECT_EQ(check.CheckForNewVersion(true), VersionCheckResult::Unreachable);
    EXPECT_TRUE(f.prompter.informed.empty());
}

TEST(VersionCheckAgainstServer, AnUntrustedCertificateIsNeverTalkedTo) {
    CheckFixture f;
    test::UpdateServerSim tls(f.dir.path());
    tls.offer("2022 (ver 01.00)", kFileList350, {200, std::string(5000, 'I')});
    EXPECT_THROW(f.http->get(tls.base() + kProbePath), HttpError);
    VersionCheck check = WindowsCheck({f.dir.path(), tls.base(), *f.http, f.prompter, f.view, nullptr, f.counters});
    EXPECT_EQ(check.CheckForNewVersion(true), VersionCheckResult::Unreachable);
    EXPECT_TRUE(tls.requests().empty());
    EXPECT_TRUE(f.prompter.informed.empty());
}

TEST(VersionCheckAgainstServer, ATrustedCertificateCarriesTheWholeUpdate) {
    CheckFixture f;
    test::UpdateServerSim tls(f.dir.path());
    tls.offer("2022 (ver 01.00)", kFileList350, {200, std::string(5000, 'I')});
    const auto trusting = MakeCurlHttpClient((f.dir / "sim-cert.pem").string());
    std::vector<fs::path> started;
    VersionCheck check = WindowsCheck({f.dir.path(), tls.base(), *trusting, f.prompter, f.view,
                        [&](const fs::path& program) { started.push_back(program); }, f.counters});
    EXPECT_EQ(check.CheckForNewVersion(true), VersionCheckResult::InstallerStarted);
    EXPECT_EQ(started, std::vector<fs::path>{f.installer()});
    EXPECT_EQ(test::ReadBytes(f.installer()), std::string(5000, 'I'));
}

TEST(VersionCheckAgainstServer, AnHttpsAddressIsNeverFollowedToPlainHttp) {
    CheckFixture f;  // its server speaks plain http
    f.serve("2022 (ver 01.00)");
    test::UpdateServerSim tls(f.dir.path());
    SimAnswer redirect(302, "");
    redirect.headers = {{"Location", f.server.base() + kProbePath}};
    tls.answer(kProbePath, redirect);
    const auto trusting = MakeCurlHttpClient((f.dir / "sim-cert.pem").string());
    EXPECT_THROW(trusting->get(tls.base() + kProbePath), HttpError);
    EXPECT_EQ(tls.requests().size(), 1u);
    EXPECT_TRUE(f.server.requests().empty());
}

// Only an installer that cannot be written speaks of writing; a site that does
// not answer as an update service says so, and that the check comes again.
TEST(VersionCheckAgainstServer, AnyFailureAfterTheProbeIsToldAndStartsNothing) {
    const std::string version = "2022 (ver 01.00)";
    const std::string installer(5000, 'I');
    const struct {
        const char* what;
        SimAnswer version, list, download;
        bool upgradeIsAFile = false;
    } cases[] = {
        {"list field not an integer", {200, version}, {200, "2<br/>a<br/>100<br/>b<br/>25O<br/>"}, {200, installer}},
        {"version dropped", {200, version, Wire::CutShort, 0}, {200, kFileList350}, {200, installer}},
        {"version error status", {503, version}, {200, kFileList350}, {200, installer}},
        {"version never answers", {200, version, Wire::Late}, {200, kFileList350}, {200, installer}},
        {"list missing", {200, version}, {404, ""}, {200, installer}},
        {"download cut short", {200, version}, {200, kFileList350}, {200, installer, Wire::CutShort, 2000}},
        {"download chunks cut", {200, version}, {200, kFileList350}, {200, installer, Wire::ChunkedCut, 2000}},
        {"download stalls", {200, version}, {200, kFileList350}, {200, installer, Wire::Stall, 2000}},
        {"download error status", {200, version}, {200, kFileList350}, {500, installer}},
        {"installer cannot be written", {200, version}, {200, kFileList350}, {200, installer}, true},
    };
    for (const auto& c : cases) {
        for (const bool interactive : {true, false}) {
            CheckFixture f;
            f.serve("unused");
            f.server.answer("/versions/VELMORA2021/getvelmoraver.php", c.version);
            f.server.answer("/versions/VELMORA2021/httpfilelist.php", c.list);
            f.server.answer("/versions/VELMORA2021/httpdnld.php", c.download);
            if (c.upgradeIsAFile) test::WriteBytes(f.dir / "Upgrade", "a file where the folder goes");

            EXPECT_EQ(f.check().CheckForNewVersion(interactive), VersionCheckResult::Failed) << c.what;
            const std::string told = c.upgradeIsAFile ? kFailureText : SiteNotAnsweringMessage(interactive);
            EXPECT_EQ(f.prompter.informed, std::vector<std::string>{told}) << c.what;
            EXPECT_TRUE(f.started.empty()) << c.what;
            EXPECT_FALSE(fs::exists(f.installer())) << c.what;
            EXPECT_EQ(f.view.events, (std::vector<std::string>{"open", "close"})) << c.what;
        }
    }
}

}  // namespace
}  // namespace skartina

namespace skartina {
namespace {

TEST(InstallerTransport, OnlyHttpsOrThisMachine) {
    const std::pair<const char*, bool> hosts[] = {
        {"https://www.skartina.gr", true},    {"HTTPS://updates.example", true},
        {"http://127.0.0.1:8080", true},      {"http://127.1.2.3", true},
        {"http://localhost:99", true},        {"http://[::1]:5000", true},
        {"http://www.skartina.gr", false},    {"http://127.0.0.1.evil.example", false},
        {"http://localhost.evil.example", false}, {"http://10.0.0.1", false},
        {"ftp://127.0.0.1", false},           {"", false},
    };
    for (const auto& [host, trusted] : hosts) EXPECT_EQ(InstallerTransportTrusted(host), trusted) << host;
}

// A plain-http host elsewhere that answers like an update service with a newer version.
class PlainHttpService : public HttpClient {
public:
    HttpResponse get(const std::string& url, const HttpOptions&) override {
        requested.push_back(url);
        if (url.ends_with(kProbePath)) return {200, "OK"};
        if (url.ends_with(kLatestVersionPath)) return {200, "2099 (ver 09.00)"};
        return {200, std::string(5000, 'I')};
    }
    std::vector<std::string> requested;
};

TEST(InstallerTransport, APlainHttpHostElsewhereNeverDeliversAnInstaller) {
    test::TempDir dir;
    PlainHttpService http;
    test::ScriptedPrompter yes(true);
    RecordingView view;
    TransferCounters counters;
    bool started = false;
    VersionCheck check = WindowsCheck({dir.path(), "http://updates.example", http, yes, view,
                        [&](const fs::path&) { started = true; }, counters});
    EXPECT_EQ(check.CheckForNewVersion(true), VersionCheckResult::Failed);
    EXPECT_EQ(yes.informed, std::vector<std::string>{SiteNotAnsweringMessage(true)});
    EXPECT_FALSE(started);
    EXPECT_FALSE(fs::exists(dir / "Upgrade" / "Setup.exe"));
    EXPECT_EQ(http.requested, (std::vector<std::string>{std::string("http://updates.example") + kProbePath,
                                                        std::string("http://updates.example") + kLatestVersionPath}));
}

}  // namespace
}  // namespace skartina

namespace skartina {
namespace {

// Servers that never stop sending, announce gigabytes, drip, or redirect in a loop.
struct HostileFixture : CheckFixture {
    HostileFixture() {
        serve("2022 (ver 01.00)");
        timeouts.probeTotal = std::chrono::milliseconds(400);
        timeouts.total = std::chrono::milliseconds(600);
        timeouts.downloadTotal = std::chrono::milliseconds(5000);
        limits.installerBytes = 1024 * 1024;
    }
    VersionCheck hostileCheck() {
        const ProgramStarter start = [this](const fs::path& program) { started.push_back({program, {}, true}); };
        return WindowsCheck({dir.path(), server.base(), *http, prompter, view, start, counters, timeouts, limits});
    }
    // Whatever the check left in the download folder.
    std::vector<std::string> upgradeFolder() const {
        return fs::is_directory(dir / "Upgrade") ? test::FolderNames(dir / "Upgrade") : std::vector<std::string>{};
    }
    VersionCheckTimeouts timeouts{std::chrono::milliseconds(1000), std::chrono::milliseconds(300),
                                  std::chrono::milliseconds(300)};
    VersionCheckLimits limits;
};

constexpr unsigned long long kTwoGigabytes = 2ULL * 1024 * 1024 * 1024;

TEST(HostileUpdateServer, AnAnswerTooLargeSlowOrLoopingIsAFailureNeverAWait) {
    const std::string probe = kProbePath;
    const std::string version = kLatestVersionPath;
    const std::string list = "/versions/VELMORA2021/httpfilelist.php";
    const std::string download = kDownloadPath;
    using ms = std::chrono::milliseconds;
    const struct {
        const char* what;
        std::string path;
        SimAnswer answer;
        VersionCheckResult result;
    } cases[] = {
        {"probe announces 2 GB", probe, SimAnswer::ZerosOf(kTwoGigabytes), VersionCheckResult::Unreachable},
        {"probe never ends", probe, SimAnswer::EndlessZeros(), VersionCheckResult::Unreachable},
        {"probe drips within the idle time", probe, SimAnswer::Dripping("OK", ms(250)), VersionCheckResult::Unreachable},
        {"probe redirects to itself", probe, SimAnswer::RedirectTo(probe), VersionCheckResult::Unreachable},
        {"version announces 2 GB", version, SimAnswer::ZerosOf(kTwoGigabytes), VersionCheckResult::Failed},
        {"version never ends", version, SimAnswer::EndlessZeros(), VersionCheckResult::Failed},
        {"version a little over the limit", version, SimAnswer::ZerosOf(4097), VersionCheckResult::Failed},
        {"version drips", version, SimAnswer::Dripping("2022 (ver 01.00)", ms(100)), VersionCheckResult::Failed},
        {"version redirects to itself", version, SimAnswer::RedirectTo(version), VersionCheckResult::Failed},
        {"list never ends", list, SimAnswer::EndlessZeros(), VersionCheckResult::Failed},
        {"installer announces 2 GB", download, SimAnswer::ZerosOf(kTwoGigabytes), VersionCheckResult::Failed},
        {"installer of zeros beyond the limit", download, SimAnswer::ZerosOf(4 * 1024 * 1024),
         VersionCheckResult::Failed},
        {"installer never ends", download, SimAnswer::EndlessZeros(), VersionCheckResult::Failed},
        {"installer redirects to itself", download, SimAnswer::RedirectTo(download), VersionCheckResult::Failed},
    };
    for (const auto& c : cases) {
        HostileFixture f;
        f.server.answer(c.path, c.answer);
        EXPECT_EQ(f.hostileCheck().CheckForNewVersion(false), c.result) << c.what;
        EXPECT_TRUE(f.started.empty()) << c.what;
        EXPECT_EQ(f.upgradeFolder(), std::vector<std::string>{}) << c.what;  // no installer, no temporary file
        EXPECT_EQ(f.prompter.informed,
                  c.result == VersionCheckResult::Failed ? std::vector<std::string>{SiteNotAnsweringMessage(false)}
                                                         : std::vector<std::string>{})
            << c.what;
        if (c.answer.status == 302) {
            EXPECT_LE(f.server.requests().size(), 4u + 5u) << c.what;
        }
    }
}

TEST(HostileUpdateServer, TheSameAnswersWithinTheLimitsAreTaken) {
    using ms = std::chrono::milliseconds;
    const std::string probe = kProbePath;
    // What the limits must still let through: a short drip, a few redirects, a large installer.
    HostileFixture drip;
    drip.server.answer(probe, SimAnswer::Dripping("OK", ms(100)));
    EXPECT_TRUE(drip.hostileCheck().ServerReachable());

    HostileFixture redirects;
    redirects.server.answer("/a", SimAnswer::RedirectTo("/b"));
    redirects.server.answer("/b", SimAnswer::RedirectTo(probe));
    redirects.server.answer(probe, {200, "OK"});
    EXPECT_EQ(redirects.http->get(redirects.server.base() + "/a").body, "OK");

    HostileFixture large;
    large.server.answer(kDownloadPath, SimAnswer::ZerosOf(1024 * 1024));  // exactly the limit
    EXPECT_EQ(large.hostileCheck().CheckForNewVersion(false), VersionCheckResult::InstallerStarted);
    EXPECT_EQ(fs::file_size(large.installer()), 1024u * 1024u);
    EXPECT_EQ(large.upgradeFolder(), std::vector<std::string>{"Setup.exe"});
    EXPECT_EQ(large.counters.ReceivedBytes, 2 + 16 + static_cast<long long>(kFileList350.size()) + 1024 * 1024);
}

TEST(HostileUpdateServer, TheClientCountsTheBodyAndStopsAtAFailingSink) {
    CheckFixture f;
    f.server.answer("/endless", SimAnswer::EndlessZeros());
    f.server.answer("/zeros", SimAnswer::ZerosOf(100000));
    HttpOptions capped;
    capped.maxBodyBytes = 100000;
    EXPECT_THROW(f.http->get(f.server.base() + "/endless", capped), HttpError);
    EXPECT_EQ(f.http->get(f.server.base() + "/zeros", capped).body.size(), 100000u);
    capped.maxBodyBytes = 99999;
    EXPECT_THROW(f.http->get(f.server.base() + "/zeros", capped), HttpError);

    HttpOptions sinking;
    long long sunk = 0;
    sinking.sink = [&](std::string_view bytes) {
        sunk += static_cast<long long>(bytes.size());
        if (sunk > 50000) throw FileError("disk full");
    };
    EXPECT_THROW(f.http->get(f.server.base() + "/zeros", sinking), FileError);
    sunk = -1000000;
    EXPECT_TRUE(f.http->get(f.server.base() + "/zeros", sinking).body.empty());
    EXPECT_EQ(sunk, -1000000 + 100000);
}

}  // namespace
}  // namespace skartina
