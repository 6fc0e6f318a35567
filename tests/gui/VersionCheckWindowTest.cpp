// SPDX-License-Identifier: GPL-3.0-or-later
// The version-check windows, the menu command and the start-up check, against
// the simulated update server.

#include "startup/Settings.h"
#include "gui/StartUp.h"
#include "gui/StatusPanels.h"
#include "gui/MainWindow.h"
#include "gui/VersionCheckWindow.h"
#include "gui/CheckProgressWindow.h"
#include "common/TextFile.h"
#include "support/UpdateServerSim.h"
#include "support/GuiTestSupport.h"

#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

namespace skartina {
namespace {

namespace fs = std::filesystem;
using test::Find;
using test::SimAnswer;

const std::string kInstaller(1001, 'I');
const std::string kList = "1<br/>Setup.exe<br/>123456<br/>";

// The product web host is the simulated server, through the configuration, and
// the process-wide state starts afresh.
struct UpdateFixture {
    UpdateFixture() {
        previousHost = std::getenv("SKARTINA_PRODUCT_HOST") ? std::getenv("SKARTINA_PRODUCT_HOST") : "";
        ::setenv("SKARTINA_PRODUCT_HOST", server.base().c_str(), 1);
        KeepRunning = true;
        UpdateCounters = {};
        QLocale::setDefault(QLocale(QLocale::Greek, QLocale::Greece));
    }
    ~UpdateFixture() {
        if (previousHost.empty()) ::unsetenv("SKARTINA_PRODUCT_HOST");
        else ::setenv("SKARTINA_PRODUCT_HOST", previousHost.c_str(), 1);
        KeepRunning = true;
        QLocale::setDefault(previousLocale);
    }
    std::vector<std::string> targets() const {
        std::vector<std::string> t;
        for (const auto& r : server.requests()) t.push_back(r.target);
        return t;
    }

    std::string previousHost;
    QLocale previousLocale;
    test::TempDir dir;
    test::UpdateServerSim server;
    std::unique_ptr<HttpClient> http = MakeCurlHttpClient();
    test::FakeDesktop desktop;
};

CheckProgressWindow* VisibleProgressWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<CheckProgressWindow*>(w); p && p->isVisible()) return p;
    return nullptr;
}

TEST(VersionCheckWindows, CaptionsTextsAndControls) {
    UpdateFixture f;
    VersionCheckWindow window(f.dir.path(), f.desktop.services(), *f.http);
    EXPECT_EQ(window.windowTitle(), "Έλεγχος για νέα έκδοση της εφαρμογής");
    EXPECT_EQ(window.windowType(), Qt::Tool);
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_EQ(Find<QLabel>(window, "noticeLabel")->text(), "Για να μπορέσετε να ενημερωθείτε με τη νέα έκδοση της εφαρμογής πρέπει "
                                       "απαραιτήτως να συνδεθείτε στο internet");
    EXPECT_EQ(Find<QLabel>(window, "firewallLabel")->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_LT(Find<QLabel>(window, "firewallLabel")->font().pointSizeF(), Find<QLabel>(window, "noticeLabel")->font().pointSizeF());
    EXPECT_EQ(Find<QPushButton>(window, "checkButton")->text(), "Έλεγχος");
    EXPECT_EQ(Find<QPushButton>(window, "exitButton")->text(), "Έξοδος");
    EXPECT_EQ(Find<StatusPanels>(window, "statusPanels")->panel(0), "");
    EXPECT_EQ(Find<StatusPanels>(window, "statusPanels")->panel(1), "");

    CheckProgressWindow progress;
    EXPECT_EQ(progress.windowTitle(), "Ελεγχος νέων εκδόσεων ");
    EXPECT_EQ(Find<QLabel>(progress, "titleLabel")->text(), "ΣΚΑΡΤΙΝΑ 2021");
    EXPECT_EQ(Find<QLabel>(progress, "waitLabel")->text(), "Παρακαλώ περιμένετε ...");
    EXPECT_EQ(Find<QLabel>(progress, "detailsLabel")->text(), " ");
    EXPECT_EQ(Find<QProgressBar>(progress, "percentBar")->minimum(), 0);
    EXPECT_EQ(Find<QProgressBar>(progress, "percentBar")->maximum(), 100);
    EXPECT_FALSE(progress.isModal());

    window.show();
    Find<QPushButton>(window, "exitButton")->click();
    EXPECT_FALSE(window.isVisible());
}

// Records what the windows showed at the moments the user was asked and the installer started.
struct Observed {
    bool progressShownAtQuestion = false;
    QString detailsAtStart;
    QStringList progressPanelsAtStart;
    int progressBarAtStart = -1;
};

class ObservingPrompter : public Prompter {
public:
    explicit ObservingPrompter(Observed& seen) : seen_(seen) {}
    void inform(const std::string& text) override { informed.push_back(text); }
    bool confirm(const std::string&) override {
        seen_.progressShownAtQuestion = VisibleProgressWindow() != nullptr;
        return true;
    }
    Answer ask(const std::string&) override { return Answer::Cancel; }
    std::vector<std::string> informed;

private:
    Observed& seen_;
};

TEST(VersionCheckWindows, CheckShowsProgressWhileItRunsAndEndsWithTheInstallerStarted) {
    UpdateFixture f;
    f.server.offer("2022 (ver 01.00)", kList, {200, kInstaller});
    Observed seen;
    ObservingPrompter prompter(seen);
    std::vector<fs::path> started;
    DesktopServices desktop = f.desktop.services();
    desktop.prompter = &prompter;
    VersionCheckWindow* window = nullptr;
    desktop.start = [&](const fs::path& program) {
        started.push_back(program);
        CheckProgressWindow* progress = window->progressWindow();
        seen.detailsAtStart = Find<QLabel>(*progress, "detailsLabel")->text();
        const StatusPanels* panels = Find<StatusPanels>(*progress, "statusPanels");
        seen.progressPanelsAtStart = {panels->panel(0), panels->panel(1)};
        seen.progressBarAtStart = Find<QProgressBar>(*progress, "percentBar")->value();
    };
    VersionCheckWindow dialog(f.dir.path(), desktop, *f.http);
    window = &dialog;
    dialog.show();
    Find<QPushButton>(dialog, "checkButton")->click();

    EXPECT_TRUE(seen.progressShownAtQuestion);
    ASSERT_EQ(started, std::vector<fs::path>{f.dir / "Upgrade" / "Setup.exe"});
    EXPECT_EQ(seen.detailsAtStart, "Δημιουργία του εκτελέσιμου αρχείου...");
    // "OK", the version, the list and the installer: 2 + 16 + 31 + 1001 bytes of 123456 announced.
    const QStringList panels = {"Παραλήφθησαν 1.050 Bytes", "από σύνολο 123.456 Bytes"};
    EXPECT_EQ(seen.progressPanelsAtStart, panels);
    EXPECT_EQ(seen.progressBarAtStart, 1);
    const StatusPanels* shown = Find<StatusPanels>(dialog, "statusPanels");
    EXPECT_EQ((QStringList{shown->panel(0), shown->panel(1)}), panels);
    EXPECT_EQ(Find<QProgressBar>(dialog, "percentBar")->value(), 1);

    EXPECT_FALSE(KeepRunning);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.progressWindow(), nullptr);
    EXPECT_EQ(VisibleProgressWindow(), nullptr);
    EXPECT_TRUE(prompter.informed.empty());
}

TEST(VersionCheckWindows, PanelsEmptyOnceMoreArrivedThanAnnounced) {
    UpdateFixture f;
    f.server.offer("2021 (ver 01.00)", kList, {200, kInstaller});
    VersionCheckWindow dialog(f.dir.path(), f.desktop.services(), *f.http);
    Find<StatusPanels>(dialog, "statusPanels")->setPanels("x", "y");
    Find<QProgressBar>(dialog, "percentBar")->setValue(40);
    EXPECT_EQ(dialog.CheckForNewVersion(true), VersionCheckResult::UpToDate);
    // No list was read: nothing is announced, so any byte is more.
    EXPECT_EQ(Find<StatusPanels>(dialog, "statusPanels")->panel(0), "");
    EXPECT_EQ(Find<StatusPanels>(dialog, "statusPanels")->panel(1), "");
    EXPECT_EQ(Find<QProgressBar>(dialog, "percentBar")->value(), 0);
    EXPECT_EQ(f.desktop.prompter.informed, std::vector<std::string>{"Δεν υπάρχει νεότερη έκδοση της εφαρμογής"});
    EXPECT_TRUE(KeepRunning);
}

TEST(VersionCheckWindows, ACheckFromTheMenuSaysThatTheSiteDidNotAnswer) {
    UpdateFixture f;  // nothing offered: the probe is not answered "OK"
    VersionCheckWindow dialog(f.dir.path(), f.desktop.services(), *f.http);
    EXPECT_EQ(dialog.CheckForNewVersion(true), VersionCheckResult::Unreachable);
    EXPECT_EQ(f.desktop.prompter.informed, std::vector<std::string>{SiteNotAnsweringMessage(true)});
    EXPECT_TRUE(KeepRunning);
}

TEST(VersionCheckWindows, TheDesktopStarterRunsTheWrittenInstaller) {
    UpdateFixture f;
    const fs::path ran = f.dir / "installer-ran";
    std::string script = "#!/bin/sh\ntouch '" + ran.string() + "'\n#" + std::string(1100, '-') + "\n";
    f.server.offer("2022 (ver 01.00)", kList, {200, script});
    DesktopServices desktop = f.desktop.services();
    desktop.start = StartDetached;
    VersionCheckWindow dialog(f.dir.path(), desktop, *f.http);
    ASSERT_EQ(dialog.CheckForNewVersion(false), VersionCheckResult::InstallerStarted);
    // The installer runs in its own process; wait for it, within reason.
    for (int i = 0; i < 500 && !fs::exists(ran); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(fs::exists(ran));
}

TEST(MainWindowVersionCheck, MenuAndTileCloseTheMainWindowOnlyWhenAnInstallerStarted) {
    const struct {
        const char* version;
        bool tile;
        bool mainStays;
    } cases[] = {
        {"2021 (ver 01.00)", false, true},
        {"2022 (ver 01.00)", false, false},
        {"2022 (ver 01.00)", true, false},
    };
    for (const auto& c : cases) {
        UpdateFixture f;
        f.server.offer(c.version, kList, {200, kInstaller});
        MainWindow main(f.dir.path(), f.desktop.services(), *f.http);
        main.show();
        test::OnNextModal([](QWidget* modal) {
            auto* window = qobject_cast<VersionCheckWindow*>(modal);
            ASSERT_NE(window, nullptr);
            EXPECT_FALSE(window->isHidden());
            Find<QPushButton>(*window, "checkButton")->click();
            if (window->isVisible()) Find<QPushButton>(*window, "exitButton")->click();
        });
        if (c.tile) main.onTileClicked(3);
        else Find<QAction>(main, "versionCheckAction")->trigger();

        EXPECT_EQ(main.isVisible(), c.mainStays) << c.version;
        EXPECT_EQ(KeepRunning, c.mainStays) << c.version;
        EXPECT_EQ(f.desktop.started.size(), c.mainStays ? 0u : 1u) << c.version;
    }
}

TEST(VersionCheckWindows, OnDebianTheMenusCheckWithoutTheHostSaysSoInOneSentence) {
    std::string closedPort;
    {
        test::UpdateServerSim gone;
        closedPort = gone.base();
    }
    UpdateFixture f;
    ::setenv("SKARTINA_PRODUCT_HOST", closedPort.c_str(), 1);
    f.desktop.updateKind = UpdateKind::DebianPackage;
    VersionCheckWindow window(f.dir.path(), f.desktop.services(), *f.http);
    window.show();
    Find<QPushButton>(window, "checkButton")->click();
    EXPECT_EQ(f.desktop.prompter.informed,
              std::vector<std::string>{"Δεν ήταν δυνατή η σύνδεση με τον δικτυακό τόπο της εφαρμογής· ελέγξτε τη "
                                       "σύνδεση στο internet και δοκιμάστε ξανά."});
    EXPECT_TRUE(f.desktop.started.empty());
    EXPECT_TRUE(window.isVisible());
}

TEST(VersionCheckWindows, OnDebianANewerPackageIsHandedToTheInstallerAndTheProgramGoesOn) {
    UpdateFixture f;
    const std::string name = "skartina_1.1-1_" + std::string(DebianArchitecture()) + ".deb";
    f.server.offer("2022 (ver 01.00)", "2<br/>Setup.exe<br/>1001<br/>" + name + "<br/>2000<br/>", {200, kInstaller});
    f.server.answer(std::string(kPackageFolderPath) + name, {200, std::string(2000, 'D')});
    f.desktop.updateKind = UpdateKind::DebianPackage;
    MainWindow main(f.dir.path(), f.desktop.services(), *f.http);
    main.show();
    test::OnNextModal([](QWidget* modal) {
        auto* window = qobject_cast<VersionCheckWindow*>(modal);
        ASSERT_NE(window, nullptr);
        Find<QPushButton>(*window, "checkButton")->click();
        Find<QPushButton>(*window, "exitButton")->click();
    });
    Find<QAction>(main, "versionCheckAction")->trigger();
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(KeepRunning);
    EXPECT_TRUE(f.desktop.started.empty());
    EXPECT_EQ(f.desktop.installed, std::vector<fs::path>{fs::absolute(f.dir / "Upgrade" / name)});
    for (const std::string& target : f.targets()) EXPECT_EQ(target.find("httpdnld.php"), std::string::npos) << target;
}

// Forwards to the real client, noting whether the main window showed at each request.
class WatchingHttp : public HttpClient {
public:
    WatchingHttp(HttpClient& inner, const QWidget*& main) : inner_(inner), main_(main) {}
    HttpResponse get(const std::string& url, const HttpOptions& options) override {
        mainShownAtRequest.push_back(main_ && main_->isVisible());
        return inner_.get(url, options);
    }
    std::vector<bool> mainShownAtRequest;

private:
    HttpClient& inner_;
    const QWidget*& main_;
};

TEST(StartUpVersionCheck, RunsBeforeTheMainWindowShowsAndEndsTheProgramAfterAnInstaller) {
    const struct {
        const char* what;
        bool autoCheckOff;
        const char* version;  // null: the service is down
        bool keepsRunning;
        size_t requests;
    } cases[] = {
        {"newer version, installer started", false, "2022 (ver 01.00)", false, 4},
        {"same version", false, "2021 (ver 01.00)", true, 2},
        {"service down", false, nullptr, true, 1},
        {"check switched off", true, "2022 (ver 01.00)", true, 0},
    };
    for (const auto& c : cases) {
        UpdateFixture f;
        if (c.version) f.server.offer(c.version, kList, {200, kInstaller});
        if (c.autoCheckOff) SetAutoCheck(f.dir.path(), false);
        const QWidget* shown = nullptr;
        WatchingHttp http(*f.http, shown);
        MainWindow main(f.dir.path(), f.desktop.services(), http);
        shown = &main;

        EXPECT_EQ(StartMainWindow(main, f.dir.path(), f.desktop.services(), http), c.keepsRunning) << c.what;
        EXPECT_EQ(KeepRunning, c.keepsRunning) << c.what;
        EXPECT_EQ(main.isVisible(), c.keepsRunning) << c.what;
        EXPECT_EQ(main.windowTitle(), "ΣΚΑΡΤΙΝΑ 2021 (ver 01.00)") << c.what;  // prepared first
        EXPECT_EQ(f.server.requests().size(), c.requests) << c.what;
        EXPECT_EQ(http.mainShownAtRequest, std::vector<bool>(c.requests, false)) << c.what;
        EXPECT_EQ(f.desktop.started.size(), c.keepsRunning ? 0u : 1u) << c.what;
        EXPECT_TRUE(f.desktop.prompter.informed.empty()) << c.what;  // the start-up check is silent
        EXPECT_EQ(VisibleProgressWindow(), nullptr) << c.what;
    }
}

}  // namespace
}  // namespace skartina
