// SPDX-License-Identifier: GPL-3.0-or-later
// The year buttons of the analysis window against the simulated portal, with
// headless Chromium: the year's figures reach the grid, a second retrieval
// cannot start while one runs, and closing the window ends a retrieval.

#include "support/GuiTestSupport.h"
#include "support/PortalWindowFixture.h"
#include "e1/CodeList.h"
#include "e1/YearRules.h"
#include "gui/TaxNumberEdit.h"
#include "gui/AnalysisWindow.h"
#include "gui/SheetView.h"
#include "browser/BrowserConfig.h"
#include "browser/ChildProcess.h"
#include "tools/portal-sim/SimulatedPortalProcess.h"
#include "sheet/AnalysisFile.h"
#include "sheet/Recalculate.h"
#include "sheet/SheetRows.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

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

struct RetrievalWindow : test::PortalWindowTest {
    void SetUp() override { StartPortalAndWindow(); }

    // The grid's text of the year's cells after the rules had the sample return.
    Sheet Expected(int year) {
        E1CodeTable e1;
        ReadCodeList(test::ReadBytes(std::filesystem::path(SKARTINA_SIM_SAMPLE) / kTaxNumber / (std::to_string(year) + ".txt")), e1);
        Sheet grid = window->sheet();
        RunYearRules(e1, grid, year);
        RecalculateSheet(grid);
        return grid;
    }
    QString Shown(int column, int row) {
        return Find<SheetView>(*window, "sheetView")->model()->index(row, column).data().toString();
    }

};

TEST_F(RetrievalWindow, AYearButtonBringsTheYearsFiguresIntoTheGrid) {
    const Sheet expected = Expected(2010);
    ClickAndAwaitRetrieval(*window, Find<QPushButton>(*window, YearButtonName(2010)));
    EXPECT_TRUE(desktop.prompter.informed.empty());
    for (int column : {TaxpayerColumnOf(2010), SpouseColumnOf(2010)})
        for (int row = 0; row < kSheetRows; ++row) {
            EXPECT_EQ(CellText(window->sheet(), column, row), CellText(expected, column, row)) << column << "/" << row;
            EXPECT_EQ(Shown(column, row).toStdString(), CellText(expected, column, row)) << column << "/" << row;
        }
    EXPECT_NE(CellText(window->sheet(), TaxpayerColumnOf(2010), Row::TaxedIncome), "");
    EXPECT_FALSE(Find<QLabel>(*window, "waitLabel")->isVisible());
    EXPECT_TRUE(Find<QPushButton>(*window, YearButtonName(2016))->isEnabled());
    EXPECT_TRUE(Find<QToolButton>(*window, "saveButton")->isEnabled());

    // The counter says what this client's last retrieval did, and only for this client.
    EXPECT_EQ(Find<QLabel>(*window, "reportTakenLabel")->text(), "2010: ΟΚ");
    Find<TaxNumberEdit>(*window, "taxNumberEdit")->setText("100000090");
    EXPECT_EQ(Find<QLabel>(*window, "reportTakenLabel")->text(), "");
}

TEST_F(RetrievalWindow, ARetrievalOverTheSheetsOwnFiguresAsksFirst) {
    const Sheet expected = Expected(2010);
    const int t = TaxpayerColumnOf(2010);
    SetCellText(window->sheet(), t, Row::TaxedIncome, "21.000,00");
    window->RecalculateSheet();
    for (const bool replace : {false, true}) {
        desktop.prompter = test::ScriptedPrompter(replace);
        ClickAndAwaitRetrieval(*window, Find<QPushButton>(*window, YearButtonName(2010)));
        ASSERT_EQ(desktop.prompter.asked.size(), 1u) << replace;
        const std::string& question = desktop.prompter.asked[0];
        EXPECT_TRUE(question.starts_with("Το έτος 2010 έχει στο φύλλο ποσά που διαφέρουν από της Α.Α.Δ.Ε.")) << question;
        EXPECT_NE(question.find("21.000,00 στο φύλλο, " + CellText(expected, t, Row::TaxedIncome) + " στην Α.Α.Δ.Ε."),
                  std::string::npos)
            << question;
        EXPECT_EQ(CellText(window->sheet(), t, Row::TaxedIncome), replace ? CellText(expected, t, Row::TaxedIncome) : "21.000,00");
        EXPECT_EQ(Shown(t, Row::TaxedIncome).toStdString(), CellText(window->sheet(), t, Row::TaxedIncome));
        // The keyboard is back on the sheet: Enter there starts nothing.
        EXPECT_EQ(window->focusWidget(), Find<SheetView>(*window, "sheetView"));
    }
    // The same figures again: nothing to ask.
    desktop.prompter = test::ScriptedPrompter(false);
    ClickAndAwaitRetrieval(*window, Find<QPushButton>(*window, YearButtonName(2010)));
    EXPECT_TRUE(desktop.prompter.asked.empty());
}

TEST_F(RetrievalWindow, ARetrievedYearIsOneUndoStepBackToTheOpenedFile) {
    const auto file = dir.path() / "Tables" / (std::string(kTaxNumber) + "_2021.grd");
    SetCellText(window->sheet(), TaxpayerColumnOf(2012), Row::TaxedIncome, "4.000,00");
    window->RecalculateSheet();
    ASSERT_TRUE(window->onSaveClicked());
    ASSERT_TRUE(window->OpenAnalysisOf(kTaxNumber));
    const std::string opened = test::ReadBytes(file);
    const Sheet expected = Expected(2010);
    ClickAndAwaitRetrieval(*window, Find<QPushButton>(*window, YearButtonName(2010)));
    ASSERT_TRUE(window->isModified());
    EXPECT_TRUE(Find<QAction>(*window, "undoAction")->isEnabled());
    window->undo();
    EXPECT_FALSE(window->isModified()) << "the sheet as it was opened";
    EXPECT_EQ(Shown(TaxpayerColumnOf(2010), Row::TaxedIncome).toStdString(), "");
    ASSERT_TRUE(window->onSaveClicked());
    EXPECT_TRUE(test::ReadBytes(file) == opened) << "the bytes of the file as opened";
    window->redo();
    EXPECT_TRUE(window->isModified());
    for (int column : {TaxpayerColumnOf(2010), SpouseColumnOf(2010)})
        for (int row = 0; row < kSheetRows; ++row)
            EXPECT_EQ(Shown(column, row).toStdString(), CellText(expected, column, row)) << column << "/" << row;
}

TEST_F(RetrievalWindow, NoSecondRetrievalWhileOneRuns) {
    bool seen = false, buttonEnabled = true, openEnabled = true, boxEnabled = true, waitShown = false, waitHidden = false;
    QTimer::singleShot(300, [&] {
        seen = window->retrieving();
        buttonEnabled = Find<QPushButton>(*window, YearButtonName(2016))->isEnabled();
        openEnabled = Find<QToolButton>(*window, "openButton")->isEnabled() ||
                      Find<QToolButton>(*window, "chooseClientButton")->isEnabled() ||
                      Find<QToolButton>(*window, "saveButton")->isEnabled();
        boxEnabled = Find<QCheckBox>(*window, YearBoxName(2012))->isEnabled();
        // Pressing another year does nothing, also when the press reaches the handler.
        QTest::mouseClick(Find<QPushButton>(*window, YearButtonName(2016)), Qt::LeftButton);
        window->onRetrieveYearClicked(2016);
        // The waiting panel can still be clicked away.
        QLabel* const wait = Find<QLabel>(*window, "waitLabel");
        waitShown = wait->isVisible();
        QTest::mouseClick(wait, Qt::LeftButton);
        waitHidden = !wait->isVisible();
    });
    ClickAndAwaitRetrieval(*window, Find<QPushButton>(*window, YearButtonName(2010)));
    EXPECT_TRUE(seen);
    EXPECT_FALSE(buttonEnabled);
    EXPECT_FALSE(openEnabled);
    EXPECT_FALSE(boxEnabled);
    EXPECT_TRUE(waitShown);
    EXPECT_TRUE(waitHidden);
    EXPECT_TRUE(desktop.prompter.informed.empty());
    EXPECT_NE(CellText(window->sheet(), TaxpayerColumnOf(2010), Row::TaxedIncome), "");
    EXPECT_EQ(CellText(window->sheet(), TaxpayerColumnOf(2016), Row::TaxedIncome), "") << "2016 was never retrieved";
    EXPECT_FALSE(window->retrieving());
    EXPECT_TRUE(Find<QPushButton>(*window, YearButtonName(2016))->isEnabled());
}

TEST_F(RetrievalWindow, DuringARetrievalTheSheetIsReadOnlyAndTheKeysStayInTheProgram) {
    SheetView* sheet = Find<SheetView>(*window, "sheetView");
    const QModelIndex cell = sheet->model()->index(Row::TaxedIncome, TaxpayerColumnOf(2012));
    EXPECT_TRUE(sheet->model()->flags(cell) & Qt::ItemIsEditable);
    bool editable = true;
    QString grabber;
    std::function<void()> type = [&] {
        if (!window->retrieving()) return QTimer::singleShot(20, type);
        editable = sheet->model()->flags(cell) & Qt::ItemIsEditable;
        grabber = QWidget::keyboardGrabber() ? QWidget::keyboardGrabber()->objectName() : QString();
        sheet->setCurrentIndex(cell);
        QTest::keyClicks(sheet, "123456");
        QTest::keyClick(sheet, Qt::Key_Return);
    };
    QTimer::singleShot(20, type);
    ClickAndAwaitRetrieval(*window, Find<QPushButton>(*window, YearButtonName(2010)));
    EXPECT_FALSE(editable);
    EXPECT_EQ(grabber.toStdString(), "retrievalKeySink");
    EXPECT_EQ(CellText(window->sheet(), TaxpayerColumnOf(2012), Row::TaxedIncome), "") << "typing reached the sheet";
    EXPECT_NE(CellText(window->sheet(), TaxpayerColumnOf(2010), Row::TaxedIncome), "");
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr) << "the keyboard is given back";
    EXPECT_TRUE(sheet->model()->flags(cell) & Qt::ItemIsEditable);
}

TEST_F(RetrievalWindow, ClosingTheWindowEndsTheRetrieval) {
    QTimer::singleShot(500, [&] { window->close(); });
    ClickAndAwaitRetrieval(*window, Find<QPushButton>(*window, YearButtonName(2010)));
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->retrieving());
    EXPECT_EQ(CellText(window->sheet(), TaxpayerColumnOf(2010), Row::TaxedIncome), "") << "nothing written after the close";
    EXPECT_TRUE(desktop.prompter.informed.empty());
}

TEST_F(RetrievalWindow, AnUntickedYearIsRefusedWithoutABrowser) {
    Find<QCheckBox>(*window, YearBoxName(2010))->setChecked(false);
    ClickAndAwaitRetrieval(*window, Find<QPushButton>(*window, YearButtonName(2010)));
    EXPECT_EQ(desktop.prompter.informed, std::vector<std::string>{"Δεν έχετε επιλέξει το αντίστοιχο έτος για άντληση στοιχείων."});
    EXPECT_FALSE(Find<QLabel>(*window, "waitLabel")->isVisible());
}

TEST_F(RetrievalWindow, AHandCorrectionKeptOverARetrievalIsWhatIsSavedAndEnterStartsNothing) {
    const Sheet expected = Expected(2010);
    const int t = TaxpayerColumnOf(2010);
    ASSERT_NE(CellText(expected, t, Row::TaxedIncome), "21.000,00");
    QPushButton* button = Find<QPushButton>(*window, YearButtonName(2010));
    ClickAndAwaitRetrieval(*window, button);
    ASSERT_EQ(CellText(window->sheet(), t, Row::TaxedIncome), CellText(expected, t, Row::TaxedIncome));
    // Enter where the keyboard is after the retrieval, and on the year's button, retrieves nothing again.
    const auto enterStartsNothing = [&](const char* when) {
        for (QWidget* target : {window->focusWidget(), static_cast<QWidget*>(button)}) {
            ASSERT_NE(target, nullptr) << when;
            target->setFocus();
            QTest::keyClick(target, Qt::Key_Return);
            QTest::keyClick(target, Qt::Key_Enter);
            QApplication::processEvents();
            EXPECT_FALSE(window->retrieving()) << when << " " << target->objectName().toStdString();
        }
    };
    enterStartsNothing("retrieved");

    // The figure corrected by hand, typed into its cell; the retrieval's replacement declined.
    ASSERT_NE(test::TypeAndLeave(Find<SheetView>(*window, "sheetView"), t, Row::TaxedIncome, "21000"), nullptr);
    ASSERT_EQ(CellText(window->sheet(), t, Row::TaxedIncome), "21.000,00");
    desktop.prompter = test::ScriptedPrompter(false);
    ClickAndAwaitRetrieval(*window, button);
    ASSERT_EQ(desktop.prompter.asked.size(), 1u);
    EXPECT_EQ(CellText(window->sheet(), t, Row::TaxedIncome), "21.000,00");
    enterStartsNothing("declined");
    EXPECT_EQ(desktop.prompter.asked.size(), 1u) << "a retrieval started again would ask again";

    // The file on disk holds the correction beside the year's other retrieved figures.
    desktop.prompter = test::ScriptedPrompter(true);
    ASSERT_TRUE(window->onSaveClicked());
    SheetGrid saved;
    ASSERT_TRUE(LoadGridFromFile(dir.path() / "Tables" / (std::string(kTaxNumber) + "_2021.grd"), saved));
    EXPECT_EQ(saved.cell(t, Row::TaxedIncome), "21.000,00");
    const int spouse = SpouseColumnOf(2010);
    EXPECT_EQ(saved.cell(spouse, Row::TaxedIncome), CellText(expected, spouse, Row::TaxedIncome));
}

}  // namespace
}  // namespace skartina
