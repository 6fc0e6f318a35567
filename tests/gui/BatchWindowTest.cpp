// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis window's button for all the ticked years against the simulated
// portal, with headless Chromium: the ticked years fill the grid, the progress
// window shows the run, one summary ends it, and the kept documents' folder
// opens with the desktop's program.

#include "support/GuiTestSupport.h"
#include "support/PortalWindowFixture.h"
#include "e1/CodeList.h"
#include "e1/YearRules.h"
#include "gui/TaxNumberEdit.h"
#include "gui/AnalysisWindow.h"
#include "gui/BatchProgressWindow.h"
#include "gui/SheetView.h"
#include "browser/BrowserConfig.h"
#include "browser/ChildProcess.h"
#include "tools/portal-sim/SimulatedPortalProcess.h"
#include "sheet/AnalysisFile.h"
#include "sheet/Recalculate.h"
#include "sheet/SheetRows.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sstream>

namespace skartina {
namespace {

using test::FakeDesktop;
using test::ClickAndAwaitRetrieval;
using test::Find;
using test::TempDir;
using test::YearBoxName;
using test::YearButtonName;

constexpr const char* kTaxNumber = "123456783";

struct BatchWindow : test::PortalWindowTest {
    void SetUp() override { StartPortalAndWindow(); }

    void TickOnly(const std::vector<int>& years) {
        for (int year = kOldestBoxYear; year <= kNewestYear; ++year) {
            const bool tick = std::find(years.begin(), years.end(), year) != years.end();
            Find<QCheckBox>(*window, YearBoxName(year))->setChecked(tick);
        }
    }
    BatchProgressWindow* Progress() { return window->findChild<BatchProgressWindow*>("batchProgressWindow"); }

};

TEST_F(BatchWindow, TheButtonFillsTheTickedYearsAndShowsOneSummary) {
    ASSERT_EQ(Find<QPushButton>(*window, "retrieveAllYearsButton")->text().toStdString(), "Άντληση όλων των επιλεγμένων ετών");
    TickOnly({2016, 2012, 2010});
    Sheet expected = window->sheet();
    for (int year : {2010, 2012, 2016}) {
        E1CodeTable e1;
        ReadCodeList(test::ReadBytes(std::filesystem::path(SKARTINA_SIM_SAMPLE) / kTaxNumber / (std::to_string(year) + ".txt")), e1);
        if (year > 2014) {
            e1.set(515, e1[115]), e1.set(115, 0);
            e1.set(517, e1[117]), e1.set(117, 0);
        }
        RunYearRules(e1, expected, year);
    }
    RecalculateSheet(expected);

    // What the progress window shows while the run goes on.
    bool shown = false, buttonsHeld = false;
    int maximum = 0;
    QString count, elapsed;
    std::function<void()> look = [&] {
        BatchProgressWindow* progress = Progress();
        if (progress && progress->isVisible() && Find<QLabel>(*progress, "yearLabel")->text().startsWith("Έτος")) {
            shown = true;
            maximum = Find<QProgressBar>(*progress, "yearsBar")->maximum();
            count = Find<QLabel>(*progress, "countLabel")->text();
            elapsed = Find<QLabel>(*progress, "elapsedLabel")->text();
            buttonsHeld = !Find<QPushButton>(*window, YearButtonName(2010))->isEnabled() &&
                          !Find<QPushButton>(*window, "retrieveAllYearsButton")->isEnabled();
            return;
        }
        QTimer::singleShot(50, look);
    };
    QTimer::singleShot(50, look);
    ClickAndAwaitRetrieval(*window, Find<QPushButton>(*window, "retrieveAllYearsButton"));

    EXPECT_TRUE(shown);
    EXPECT_EQ(maximum, 3);
    EXPECT_TRUE(count.endsWith(" από 3")) << count.toStdString();
    EXPECT_TRUE(elapsed.startsWith("Χρόνος: ")) << elapsed.toStdString();
    EXPECT_TRUE(buttonsHeld);
    EXPECT_EQ(window->sheet(), expected);
    EXPECT_EQ(Find<SheetView>(*window, "sheetView")
                  ->model()
                  ->index(Row::TaxedIncome, TaxpayerColumnOf(2012))
                  .data()
                  .toString()
                  .toStdString(),
              CellText(expected, TaxpayerColumnOf(2012), Row::TaxedIncome));
    EXPECT_EQ(desktop.prompter.informed,
              std::vector<std::string>{"Άντληση 3 ετών: 3 αντλήθηκαν, 0 χωρίς δήλωση, 0 απέτυχαν, 0 δεν αντλήθηκαν.\n"
                                       "2016: αντλήθηκε.\n2012: αντλήθηκε.\n2010: αντλήθηκε."});
    EXPECT_FALSE(Progress() && Progress()->isVisible());
    EXPECT_TRUE(Find<QPushButton>(*window, "retrieveAllYearsButton")->isEnabled());

    // The kept documents' folder, opened with the desktop's program.
    const std::filesystem::path sources = dir.path() / "Tables" / (std::string(kTaxNumber) + "_sources");
    for (const char* name : {"2016.pdf", "2012.txt", "2010.txt"}) EXPECT_TRUE(std::filesystem::exists(sources / name)) << name;
    QTest::mouseClick(Find<QPushButton>(*window, "portalDocumentsButton"), Qt::LeftButton);
    EXPECT_EQ(desktop.opened, QStringList{QString::fromStdString(sources.string())});
}

TEST_F(BatchWindow, AWholeRunIsOneUndoStep) {
    TickOnly({2012, 2010});
    const Sheet before = window->sheet();
    ClickAndAwaitRetrieval(*window, Find<QPushButton>(*window, "retrieveAllYearsButton"));
    const Sheet after = window->sheet();
    ASSERT_FALSE(after == before);
    EXPECT_NE(CellText(after, TaxpayerColumnOf(2012), Row::TaxedIncome), "");
    EXPECT_NE(CellText(after, TaxpayerColumnOf(2010), Row::TaxedIncome), "");
    EXPECT_EQ(window->document().undoStack().count(), 1);
    window->undo();
    EXPECT_TRUE(window->sheet() == before) << "both years gone in one step";
    EXPECT_FALSE(window->isModified());
    window->redo();
    EXPECT_TRUE(window->sheet() == after);
    EXPECT_TRUE(window->isModified());
}

TEST_F(BatchWindow, FiguresOfTheSheetsOwnAreReplacedOnlyWhenTheUserSaysSo) {
    TickOnly({2016, 2012, 2010});
    for (int year : {2012, 2010}) SetCellText(window->sheet(), TaxpayerColumnOf(year), Row::TaxedIncome, "21.000,00");
    window->RecalculateSheet();
    // No, for all: asked once, at the first year whose figures differ (the run goes from the newest).
    desktop.prompter = test::ScriptedPrompter(false);
    desktop.prompter.forAll = true;
    ClickAndAwaitRetrieval(*window, Find<QPushButton>(*window, "retrieveAllYearsButton"));
    ASSERT_EQ(desktop.prompter.asked.size(), 1u);
    EXPECT_TRUE(desktop.prompter.asked[0].starts_with("Το έτος 2012 έχει στο φύλλο ποσά που διαφέρουν από της Α.Α.Δ.Ε."))
        << desktop.prompter.asked[0];
    for (int year : {2012, 2010}) EXPECT_EQ(CellText(window->sheet(), TaxpayerColumnOf(year), Row::TaxedIncome), "21.000,00");
    EXPECT_NE(CellText(window->sheet(), TaxpayerColumnOf(2016), Row::TaxedIncome), "");  // nothing of the sheet's own there
    EXPECT_EQ(Find<QLabel>(*window, "reportTakenLabel")->text(), "ΟΚ 3/3");
    EXPECT_EQ(window->focusWidget(), Find<SheetView>(*window, "sheetView"));
}

TEST_F(BatchWindow, ARunThatReadNothingSaysSoInTheCounter) {
    TickOnly({2016, 2012});
    Find<QLineEdit>(*window, "portalPasswordEdit")->setText("wrong");
    ClickAndAwaitRetrieval(*window, Find<QPushButton>(*window, "retrieveAllYearsButton"));
    EXPECT_EQ(Find<QLabel>(*window, "reportTakenLabel")->text(), "όχι 0/2");
}

TEST_F(BatchWindow, CancelStopsTheRunAndTheYearsReadStay) {
    TickOnly({2013, 2012, 2011, 2010});
    std::function<void()> press = [&] {
        BatchProgressWindow* progress = Progress();
        if (progress && progress->isVisible() && Find<QLabel>(*progress, "countLabel")->text().startsWith("2 ")) {
            QTest::mouseClick(Find<QPushButton>(*progress, "cancelButton"), Qt::LeftButton);
            return;
        }
        QTimer::singleShot(20, press);
    };
    QTimer::singleShot(20, press);
    ClickAndAwaitRetrieval(*window, Find<QPushButton>(*window, "retrieveAllYearsButton"));
    ASSERT_EQ(desktop.prompter.informed.size(), 1u);
    const std::string& summary = desktop.prompter.informed.front();
    EXPECT_NE(summary.find("Η άντληση ακυρώθηκε"), std::string::npos) << summary;
    EXPECT_NE(summary.find("2013: αντλήθηκε"), std::string::npos) << summary;
    EXPECT_NE(summary.find("2010: δεν αντλήθηκε"), std::string::npos) << summary;
    EXPECT_NE(CellText(window->sheet(), TaxpayerColumnOf(2013), Row::TaxedIncome), "");
    EXPECT_EQ(CellText(window->sheet(), TaxpayerColumnOf(2010), Row::TaxedIncome), "");
}

TEST_F(BatchWindow, ClosingTheWindowEndsTheRunWithoutASummary) {
    TickOnly({2013, 2012, 2011, 2010});
    std::function<void()> close = [&] {
        BatchProgressWindow* progress = Progress();
        if (progress && progress->isVisible() && Find<QLabel>(*progress, "yearLabel")->text().startsWith("Έτος")) {
            window->close();
            return;
        }
        QTimer::singleShot(20, close);
    };
    QTimer::singleShot(20, close);
    ClickAndAwaitRetrieval(*window, Find<QPushButton>(*window, "retrieveAllYearsButton"));
    ASSERT_FALSE(desktop.prompter.asked.empty());
    EXPECT_EQ(desktop.prompter.asked.front(), kCancelRunQuestion) << "the close asks first";
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->retrieving());
    EXPECT_TRUE(desktop.prompter.informed.empty()) << "no summary for a window that has gone";
}

TEST_F(BatchWindow, ACloseNotConfirmedLetsTheRunGoOn) {
    test::ScriptedPrompter no(false);
    window = std::make_unique<AnalysisWindow>(dir.path(), DesktopServices{&no, desktop.services().open, {}});
    window->show();
    Find<TaxNumberEdit>(*window, "taxNumberEdit")->setText(kTaxNumber);
    Find<QLineEdit>(*window, "portalUserEdit")->setText("demo");
    Find<QLineEdit>(*window, "portalPasswordEdit")->setText("demo1234");
    TickOnly({2013, 2012});
    bool asked = false;
    std::function<void()> close = [&] {
        BatchProgressWindow* progress = Progress();
        if (progress && progress->isVisible() && Find<QLabel>(*progress, "yearLabel")->text().startsWith("Έτος")) {
            // Nothing modal in the way: the window manager's close reaches the window.
            EXPECT_EQ(progress->windowModality(), Qt::NonModal);
            EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
            window->close();
            asked = !no.asked.empty();
            return;
        }
        QTimer::singleShot(20, close);
    };
    QTimer::singleShot(20, close);
    ClickAndAwaitRetrieval(*window, Find<QPushButton>(*window, "retrieveAllYearsButton"));
    EXPECT_TRUE(asked);
    EXPECT_EQ(no.asked, std::vector<std::string>{kCancelRunQuestion});
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(no.informed, std::vector<std::string>{"Άντληση 2 ετών: 2 αντλήθηκαν, 0 χωρίς δήλωση, 0 απέτυχαν, 0 δεν "
                                                    "αντλήθηκαν.\n2013: αντλήθηκε.\n2012: αντλήθηκε."});
}

TEST_F(BatchWindow, NothingStartsWithoutATickedYearOrTheSourcesFolder) {
    TickOnly({2001, 2002});
    ClickAndAwaitRetrieval(*window, Find<QPushButton>(*window, "retrieveAllYearsButton"));
    QTest::mouseClick(Find<QPushButton>(*window, "portalDocumentsButton"), Qt::LeftButton);
    EXPECT_EQ(desktop.prompter.informed,
              (std::vector<std::string>{"Δεν έχετε επιλέξει έτη για άντληση στοιχείων.",
                                        "Δεν υπάρχουν ακόμη έγγραφα της Α.Α.Δ.Ε. για τον Α.Φ.Μ. 123456783."}));
    EXPECT_TRUE(desktop.opened.isEmpty());
    EXPECT_EQ(Progress(), nullptr);
}

TEST_F(BatchWindow, HandCorrectionsInARunAreAskedYearByYearOrOnceForAll) {
    const struct {
        bool yes;
        bool forAll;
        std::vector<int> asked;  // the years asked about, the newest first
    } cases[] = {{true, true, {2012}}, {false, false, {2012, 2010}}, {true, false, {2012, 2010}}};
    TickOnly({2012, 2010});
    SheetView* sheet = Find<SheetView>(*window, "sheetView");
    const auto file = dir.path() / "Tables" / (std::string(kTaxNumber) + "_2021.grd");
    for (const auto& c : cases) {
        const std::string label = std::to_string(c.yes) + "/" + std::to_string(c.forAll);
        // Typed over what an earlier run brought (or over empty years, the first time).
        for (int year : {2012, 2010})
            ASSERT_NE(test::TypeAndLeave(sheet, TaxpayerColumnOf(year), Row::TaxedIncome, "21000"), nullptr) << label;
        desktop.prompter = test::ScriptedPrompter(c.yes);
        desktop.prompter.forAll = c.forAll;
        ClickAndAwaitRetrieval(*window, Find<QPushButton>(*window, "retrieveAllYearsButton"));
        ASSERT_EQ(desktop.prompter.asked.size(), c.asked.size()) << label;
        for (size_t i = 0; i < c.asked.size(); ++i)
            EXPECT_TRUE(desktop.prompter.asked[i].starts_with("Το έτος " + std::to_string(c.asked[i]) + " έχει στο φύλλο"))
                << label << ": " << desktop.prompter.asked[i];
        // The summary says which years kept the sheet's own figures.
        ASSERT_FALSE(desktop.prompter.informed.empty()) << label;
        EXPECT_EQ(desktop.prompter.informed.back().ends_with("Κρατήθηκαν τα ποσά του φύλλου, όχι της Α.Α.Δ.Ε., για: 2012, 2010."),
                  !c.yes)
            << label << ": " << desktop.prompter.informed.back();
        desktop.prompter = test::ScriptedPrompter(true);
        ASSERT_TRUE(window->onSaveClicked()) << label;
        SheetGrid saved;
        ASSERT_TRUE(LoadGridFromFile(file, saved)) << label;
        for (int year : {2012, 2010}) {
            const std::string figure = saved.cell(TaxpayerColumnOf(year), Row::TaxedIncome);
            EXPECT_EQ(figure, CellText(window->sheet(), TaxpayerColumnOf(year), Row::TaxedIncome)) << label << " " << year;
            if (c.yes) {
                EXPECT_NE(figure, "21.000,00") << label << " " << year;
                EXPECT_NE(figure, "") << label << " " << year;
            } else {
                EXPECT_EQ(figure, "21.000,00") << label << " " << year;
            }
        }
    }
}

}  // namespace
}  // namespace skartina
