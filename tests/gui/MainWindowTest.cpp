// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/Settings.h"
#include "gui/MainWindow.h"
#include "gui/VersionCheckWindow.h"
#include "gui/InfoWindow.h"
#include "common/TextFile.h"
#include "gui/AnalysisWindow.h"
#include "gui/AboutWindow.h"
#include "support/GuiTestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QMouseEvent>
#include <QTest>
#include <QTextBrowser>

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace skartina {
namespace {

using test::FakeDesktop;
using test::FakeHttp;
using test::Find;
using test::TempDir;

struct MainFixture {
    TempDir dir;
    FakeDesktop desktop;
    FakeHttp http;
    std::unique_ptr<MainWindow> window() { return std::make_unique<MainWindow>(dir.path(), desktop.services(), http); }
};

TEST(MainWindow, PreparedWithCaptionsTheCheckMarkAndTheConversion) {
    const struct {
        bool autoCheckOff;
        bool tables;
        bool converted;  // the marker of an earlier conversion
    } cases[] = {{false, true, false}, {true, true, false}, {false, false, false}, {false, true, true}};
    for (const auto& c : cases) {
        MainFixture f;
        if (c.autoCheckOff) WriteCp1253Lines(f.dir / "Autocheck21.ini", {"Not OK"});
        if (c.tables) {
            std::filesystem::create_directory(f.dir / "Tables");
            WriteCp1253Lines(f.dir / "Tables" / "A_2020.grd", {"3", "1", "x", "y", "z"});
            if (c.converted) WriteCp1253Lines(f.dir / "Tables" / "Conver2021Done.txt", {"OK"});
        }
        auto main = f.window();
        main->PrepareMainWindow();
        EXPECT_EQ(main->windowTitle(), "ΣΚΑΡΤΙΝΑ 2021 (ver 01.00)");
        EXPECT_EQ(Find<QAction>(*main, "aboutAction")->text(), "Πληροφορίες για το ΣΚΑΡΤΙΝΑ");
        EXPECT_EQ(Find<QAction>(*main, "autoCheckAction")->isChecked(), !c.autoCheckOff);
        EXPECT_TRUE(main->firstActivationPending());
        EXPECT_EQ(std::filesystem::exists(f.dir / "Tables" / "A_2021.grd"), c.tables && !c.converted);
        EXPECT_EQ(std::filesystem::exists(f.dir / "Tables" / "Conver2021Done.txt"), c.tables);
    }
}

TEST(MainWindow, PreparingRemovesTheStaleTemporaryFilesOfTheDataFolder) {
    MainFixture f;
    const auto tables = f.dir / "Tables";
    std::filesystem::create_directory(tables);
    test::WriteBytes(tables / "1_2021.grd.tmp-AbC123", "a killed save, a day old");
    std::filesystem::last_write_time(tables / "1_2021.grd.tmp-AbC123",
                                     std::filesystem::file_time_type::clock::now() - std::chrono::hours(25));
    test::WriteBytes(tables / "2_2021.grd.tmp-XyZ789", "a save under way");
    f.window()->PrepareMainWindow();
    EXPECT_FALSE(std::filesystem::exists(tables / "1_2021.grd.tmp-AbC123"));
    EXPECT_TRUE(std::filesystem::exists(tables / "2_2021.grd.tmp-XyZ789"));
}

TEST(MainWindow, AutomaticCheckSwitchCreatesAndDeletesItsFile) {
    MainFixture f;
    auto main = f.window();
    main->PrepareMainWindow();
    ASSERT_TRUE(Find<QAction>(*main, "autoCheckAction")->isChecked());
    Find<QAction>(*main, "autoCheckAction")->trigger();  // the item unticks itself first
    EXPECT_FALSE(Find<QAction>(*main, "autoCheckAction")->isChecked());
    EXPECT_EQ(test::ReadBytes(f.dir / "Autocheck21.ini"), "Not OK\r\n");
    Find<QAction>(*main, "autoCheckAction")->trigger();
    EXPECT_TRUE(Find<QAction>(*main, "autoCheckAction")->isChecked());
    EXPECT_FALSE(std::filesystem::exists(f.dir / "Autocheck21.ini"));
}

TEST(MainWindow, InformationWindowAtFirstActivationWhileItsMarkerExists) {
    MainFixture f;
    WriteCp1253Lines(f.dir / "editorial21.ini", {""});
    auto main = f.window();
    main->PrepareMainWindow();

    QString shownPage;
    test::OnNextModal([&](QWidget* modal) {
        auto* pro = qobject_cast<InfoWindow*>(modal);
        ASSERT_NE(pro, nullptr);
        EXPECT_EQ(pro->windowTitle(), "ΣΚΑΡΤΙΝΑ 2021 (ver 01.00)");
        shownPage = Find<QTextBrowser>(*pro, "pageView")->toPlainText();
        Find<QCheckBox>(*pro, "dontShowAgainBox")->setChecked(true);
        pro->onExitClicked();
    });
    main->FirstActivation();
    EXPECT_EQ(shownPage, "Νέα έκδοση");
    ASSERT_EQ(f.http.requested.size(), 1u);
    EXPECT_NE(f.http.requested[0].find("/versions/VELMORA2021/editorial.html"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(f.dir / "editorial21.ini"));

    main->FirstActivation();  // once per run
    EXPECT_EQ(f.http.requested.size(), 1u);
}

TEST(MainWindow, InformationWindowSaysSoWhenThePageCannotBeFetched) {
    MainFixture f;
    f.http.reachable = false;
    WriteCp1253Lines(f.dir / "editorial21.ini", {""});
    InfoWindow pro(f.dir.path(), f.http);
    // In Greek only: the transport's "Couldn't connect to server" never reaches the user.
    EXPECT_EQ(Find<QTextBrowser>(pro, "pageView")->toPlainText(), kInfoPageUnreachable);
    EXPECT_FALSE(Find<QTextBrowser>(pro, "pageView")->toPlainText().contains(QRegularExpression("[A-Za-z]")));
    pro.reject();  // Escape, box not ticked: it shows again next time
    EXPECT_TRUE(std::filesystem::exists(f.dir / "editorial21.ini"));
}

TEST(MainWindow, AboutWindowShowsTheDataFolderInUseAndTheLicence) {
    MainFixture f;
    const std::filesystem::path folder = f.dir / "ΣΚΑΡΤΙΝΑ";  // a Greek name shown as it is
    std::filesystem::create_directory(folder);
    MainWindow main(folder, f.desktop.services(), f.http);
    QString shown, licence;
    test::OnNextModal([&](QWidget* modal) {
        auto* about = qobject_cast<AboutWindow*>(modal);
        ASSERT_NE(about, nullptr);
        shown = Find<QLabel>(*about, "dataFolderLabel")->text();
        licence = Find<QLabel>(*about, "licenceLabel")->text();
        about->reject();
    });
    Find<QAction>(main, "aboutAction")->trigger();
    EXPECT_EQ(shown, QString::fromStdString(f.dir.path().string()) + "/ΣΚΑΡΤΙΝΑ");
    EXPECT_TRUE(licence.contains("GPL-3.0-or-later")) << licence.toStdString();
    EXPECT_TRUE(licence.contains("GNU General Public License, έκδοση 3 ή νεότερη")) << licence.toStdString();
}

TEST(MainWindow, AnalysisWindowOpensModallyWithTheWorkingYear) {
    MainFixture f;
    auto main = f.window();
    QString workYear;
    int columns = 0;
    test::OnNextModal([&](QWidget* modal) {
        auto* analysis = qobject_cast<AnalysisWindow*>(modal);
        ASSERT_NE(analysis, nullptr);
        workYear = analysis->workYear();
        columns = analysis->sheet().columnCount();
        analysis->reject();
    });
    Find<QAction>(*main, "analysisAction")->trigger();
    EXPECT_EQ(workYear, "2021");
    EXPECT_EQ(columns, 37);
}

TEST(MainWindow, TilesPressLookAndCommands) {
    MainFixture f;
    auto main = f.window();
    main->resize(1200, 800);
    main->show();
    QFrame* panel = Find<QFrame>(*main, "tileFront3");
    const QPoint rest = panel->pos();
    const QColor highlight = panel->palette().color(QPalette::Window);

    QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 10), QPointF(10, 10), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(Find<QLabel>(*main, "tilePicture3"), &press);
    EXPECT_EQ(panel->pos(), rest + QPoint(4, 4));
    EXPECT_NE(panel->palette().color(QPalette::Window), highlight);

    // Tile 3 opens the version-check window.
    bool versionCheckOpened = false;
    test::OnNextModal([&](QWidget* modal) {
        versionCheckOpened = qobject_cast<VersionCheckWindow*>(modal) != nullptr;
        if (modal) modal->close();
    });
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(10, 10), QPointF(10, 10), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(Find<QLabel>(*main, "tilePicture3"), &release);
    EXPECT_EQ(panel->pos(), rest);
    EXPECT_EQ(panel->palette().color(QPalette::Window), highlight);
    EXPECT_TRUE(versionCheckOpened);
}

TEST(MainWindow, HelpShowsTheShippedPageWithTheOnlinePageAsALink) {
    MainFixture f;
    auto main = f.window();
    QString shown, link;
    test::OnNextModal([&](QWidget* modal) {
        ASSERT_EQ(modal->objectName(), "helpWindow");
        shown = Find<QTextBrowser>(*modal, "helpText")->toPlainText();
        link = Find<QLabel>(*modal, "onlineLabel")->text();
        Find<QPushButton>(*modal, "closeButton")->click();
    });
    Find<QAction>(*main, "helpAction")->trigger();  // the page is copied beside the test program, as beside the program
    EXPECT_TRUE(shown.contains("Σύντομες οδηγίες")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("φάκελος δεδομένων")) << shown.toStdString();
    EXPECT_TRUE(link.contains("https://")) << link.toStdString();
    EXPECT_TRUE(link.contains("/apps_extras/VELMORA2021/dt_help.html")) << link.toStdString();
    EXPECT_TRUE(f.desktop.opened.isEmpty());  // nothing asked of the network

    main->onLogoClicked();
    ASSERT_EQ(f.desktop.opened.size(), 1);
    EXPECT_TRUE(f.desktop.opened[0].startsWith("https://"));
    EXPECT_TRUE(f.desktop.prompter.informed.empty());

    // No browser to open it: told, not taken for done.
    f.desktop.openSucceeds = false;
    main->onLogoClicked();
    ASSERT_EQ(f.desktop.prompter.informed.size(), 1u);
    EXPECT_EQ(f.desktop.prompter.informed[0], NotOpenedSentence(f.desktop.opened[1]));
}

}  // namespace
}  // namespace skartina
