// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis window never replaces or overwrites a client's sheet without a
// real choice, and never turns a typed amount into another figure.

#include "gui/TaxNumberEdit.h"
#include "gui/AnalysisWindow.h"
#include "gui/IntegerEdit.h"
#include "gui/PickListWindow.h"
#include "gui/SheetView.h"
#include "sheet/AnalysisFile.h"
#include "sheet/SheetLayout.h"
#include "sheet/SheetRows.h"
#include "support/GuiTestSupport.h"
#include "support/SheetGridForms.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace skartina {
namespace {

using test::FakeDesktop;
using test::ScriptedPrompter;
using test::TempDir;
using Answer = Prompter::Answer;

struct Fixture {
    Fixture() {
        std::filesystem::create_directory(dir / "Tables");
        window.show();
        window.activateWindow();
        QApplication::processEvents();
    }
    TempDir dir;
    FakeDesktop desktop;
    AnalysisWindow window{dir.path(), desktop.services()};

    std::filesystem::path file(const std::string& taxNumber) const { return dir / "Tables" / (taxNumber + "_2021.grd"); }
    std::string cell(int column, int row) { return CellText(window.sheet(), column, row); }
    SheetView* grid() { return test::Find<SheetView>(window, "sheetView"); }
    IntegerEdit* firstYear() { return test::Find<IntegerEdit>(window, "firstYearEdit"); }
    // A client's analysis saved earlier (by another window or another day), with one figure of 2016.
    void savedAnalysis(const std::string& taxNumber, const std::string& figure) {
        SheetGrid grid;
        BuildSheetLayout(grid, YearSelection());
        grid.setCell(TaxpayerColumnOf(2016), Row::TaxedIncome, figure);
        SaveGridToFile(grid, file(taxNumber));
    }
    QLineEdit* enter(int column, int row) { return test::EnterCell(grid(), column, row); }
    void typeAndLeave(int column, int row, const QString& text) {
        ASSERT_NE(test::TypeAndLeave(grid(), column, row, text), nullptr);
    }
    // Types the tax number into its field and leaves it, as a user does.
    void typeTaxNumber(const QString& taxNumber) {
        window.activateWindow();
        test::Find<TaxNumberEdit>(window, "taxNumberEdit")->setFocus();
        test::Find<TaxNumberEdit>(window, "taxNumberEdit")->selectAll();
        QTest::keyClicks(test::Find<TaxNumberEdit>(window, "taxNumberEdit"), taxNumber);
        QTest::keyClick(test::Find<TaxNumberEdit>(window, "taxNumberEdit"), Qt::Key_Tab);
        QApplication::processEvents();
    }
};

QTableWidget* RowsOf(const PickListWindow& list) { return test::Find<QTableWidget>(list, QString()); }

void ChooseInNextList(const QString& taxNumber) {
    test::OnNextModal([taxNumber](QWidget* modal) {
        auto* list = qobject_cast<PickListWindow*>(modal);
        ASSERT_NE(list, nullptr);
        const auto& rows = list->rows();
        for (size_t r = 0; r < rows.size(); ++r)
            for (const auto& cell : rows[r])
                if (QString::fromStdString(cell) == taxNumber) RowsOf(*list)->setCurrentCell(static_cast<int>(r), 0);
        test::Find<QToolButton>(*list, "openButton")->click();
    });
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(LostWork, OpeningAnotherAnalysisOverChangesAsksFirst) {
    const struct {
        Answer answer;
        bool opened;
        bool savedFirst;
    } cases[] = {
        {Answer::Cancel, false, false},  // the sheet stays as it is, changes and all
        {Answer::No, true, false},
        {Answer::Yes, true, true},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.savedAnalysis("100000090", "4.000,00");
        test::Find<TaxNumberEdit>(f.window, "taxNumberEdit")->setText("123456783");
        f.typeAndLeave(TaxpayerColumnOf(2018), Row::TaxedIncome, "70");
        f.desktop.prompter = ScriptedPrompter(c.answer);
        ChooseInNextList("100000090");
        f.window.onOpenClicked();
        ASSERT_EQ(f.desktop.prompter.asked.size(), 1u);
        EXPECT_EQ(f.desktop.prompter.asked[0], kSaveBeforeReplacingQuestion);
        EXPECT_EQ(test::Find<TaxNumberEdit>(f.window, "taxNumberEdit")->text(), c.opened ? "100000090" : "123456783");
        EXPECT_EQ(f.cell(TaxpayerColumnOf(2016), Row::TaxedIncome), c.opened ? "4.000,00" : "");
        EXPECT_EQ(f.cell(TaxpayerColumnOf(2018), Row::TaxedIncome), c.opened ? "" : "70,00");
        EXPECT_EQ(std::filesystem::exists(f.file("123456783")), c.savedFirst);
        EXPECT_EQ(f.window.isModified(), !c.opened);
    }

    // The taxpayer list (the magnifier) replaces the sheet as well, and asks the same.
    Fixture f;
    f.savedAnalysis("100000090", "4.000,00");
    test::WriteBytes(f.dir / "Tables" / "100000090.cst", "");
    f.typeAndLeave(TaxpayerColumnOf(2018), Row::TaxedIncome, "70");
    f.desktop.prompter = ScriptedPrompter(Answer::Cancel);
    ChooseInNextList("100000090");
    f.window.onChooseClientClicked();
    EXPECT_EQ(f.desktop.prompter.asked, std::vector<std::string>{kSaveBeforeReplacingQuestion});
    EXPECT_EQ(f.cell(TaxpayerColumnOf(2018), Row::TaxedIncome), "70,00");
}

TEST(LostWork, TheTaxNumberOfASavedAnalysisOpensItInsteadOfAnEmptySheet) {
    Fixture f;
    f.savedAnalysis("123456783", "4.000,00");
    f.desktop.prompter = ScriptedPrompter(true);
    f.typeTaxNumber("123456783");
    ASSERT_EQ(f.desktop.prompter.asked.size(), 1u);
    const std::string offer = f.desktop.prompter.asked[0];
    EXPECT_TRUE(Contains(offer, "Υπάρχει αποθηκευμένη δήλωση του Α.Φ.Μ. 123456783")) << offer;
    EXPECT_TRUE(Contains(offer, "με ποσά στο έτος 2016")) << offer;
    EXPECT_EQ(f.cell(TaxpayerColumnOf(2016), Row::TaxedIncome), "4.000,00");
    EXPECT_FALSE(f.window.isModified());

    // Saving the analysis that is open asks nothing.
    f.typeAndLeave(TaxpayerColumnOf(2017), Row::TaxedIncome, "5");
    f.desktop.prompter = ScriptedPrompter(false);
    ASSERT_TRUE(f.window.onSaveClicked());
    EXPECT_TRUE(f.desktop.prompter.asked.empty());
    SheetGrid saved;
    ASSERT_TRUE(LoadGridFromFile(f.file("123456783"), saved));
    EXPECT_EQ(saved.cell(TaxpayerColumnOf(2016), Row::TaxedIncome), "4.000,00");
    EXPECT_EQ(saved.cell(TaxpayerColumnOf(2017), Row::TaxedIncome), "5,00");
}

TEST(LostWork, DecliningTheOfferThenSavingNamesWhatWouldBeReplaced) {
    Fixture f;
    f.savedAnalysis("123456783", "4.000,00");
    const std::string before = test::ReadBytes(f.file("123456783"));
    f.desktop.prompter = ScriptedPrompter(false);
    f.typeTaxNumber("123456783");
    EXPECT_EQ(f.desktop.prompter.asked.size(), 1u);  // offered, declined: the sheet stays empty
    EXPECT_EQ(f.cell(TaxpayerColumnOf(2016), Row::TaxedIncome), "");
    f.typeAndLeave(TaxpayerColumnOf(2017), Row::TaxedIncome, "5");

    f.desktop.prompter = ScriptedPrompter(false);
    EXPECT_FALSE(f.window.onSaveClicked());
    ASSERT_EQ(f.desktop.prompter.asked.size(), 1u);
    const std::string question = f.desktop.prompter.asked[0];
    EXPECT_TRUE(question.starts_with(kOverwriteAnalysisQuestion)) << question;
    EXPECT_TRUE(Contains(question, "με ποσά στο έτος 2016")) << question;
    EXPECT_TRUE(Contains(question, "που αποθηκεύτηκε στις ")) << question;
    EXPECT_EQ(test::ReadBytes(f.file("123456783")), before);

    // A sheet with changes is never replaced by the offer: the typed number only fills the fields.
    f.desktop.prompter = ScriptedPrompter(true);
    f.typeTaxNumber("123456783");
    EXPECT_TRUE(f.desktop.prompter.asked.empty());
    EXPECT_EQ(f.cell(TaxpayerColumnOf(2017), Row::TaxedIncome), "5,00");
}

TEST(LostWork, CloseWithChangesAndYesSavesInOneStep) {
    for (const bool fileThere : {false, true}) {
        Fixture f;
        if (fileThere) f.savedAnalysis("123456783", "4.000,00");
        f.desktop.prompter = ScriptedPrompter(false);  // the saved analysis offered on leaving the field: not taken
        test::Find<TaxNumberEdit>(f.window, "taxNumberEdit")->setText("123456783");
        f.typeAndLeave(TaxpayerColumnOf(2017), Row::TaxedIncome, "70");
        f.desktop.prompter = ScriptedPrompter(Answer::Yes);
        f.window.close();
        QApplication::processEvents();
        ASSERT_EQ(f.desktop.prompter.asked.size(), 1u) << fileThere;  // one question, no second one
        EXPECT_TRUE(f.desktop.prompter.asked[0].starts_with(kSaveChangesQuestion));
        EXPECT_EQ(Contains(f.desktop.prompter.asked[0], "Θα αντικατασταθεί η δήλωση"), fileThere);
        EXPECT_FALSE(f.window.isVisible()) << fileThere;
        SheetGrid saved;
        ASSERT_TRUE(LoadGridFromFile(f.file("123456783"), saved));
        EXPECT_EQ(saved.cell(TaxpayerColumnOf(2017), Row::TaxedIncome), "70,00");
    }
}

// What a typed amount gives in the grid, keys of the numeric keypad included.
TEST(LostWork, TypedAmountsGiveWhatWasMeant) {
    const struct {
        const char* typed;
        bool keypadDecimal;  // the keypad's decimal key after the text, then "5"
        const char* shown;
    } cases[] = {
        {"1234.5", false, "1.234,50"},
        {"1.234", false, "1.234,00"},
        {"1.234,5", false, "1.234,50"},
        {"1234,56", false, "1.234,56"},
        {"12.5", false, "12,50"},
        {"1234", true, "1.234,50"},
        {"12.34.5", false, "9,00"},  // refused: the cell keeps what it had
        {"abc", false, "9,00"},
        {"1,234", false, "9,00"},
    };
    for (const auto& c : cases) {
        Fixture f;
        const int t = TaxpayerColumnOf(2015);
        f.typeAndLeave(t, Row::TaxedIncome, "9");
        QLineEdit* editor = f.enter(t, Row::TaxedIncome);
        ASSERT_NE(editor, nullptr);
        QTest::keyClicks(editor, c.typed);
        if (c.keypadDecimal) {
            QTest::keyClick(editor, Qt::Key_Period, Qt::KeypadModifier);
            QTest::keyClick(editor, Qt::Key_5, Qt::KeypadModifier);
        }
        f.enter(t, Row::TaxedIncome + 1);
        EXPECT_EQ(f.cell(t, Row::TaxedIncome), c.shown) << c.typed;
        EXPECT_EQ(f.cell(t, Row::IncomeTotal), c.shown) << c.typed;  // recalculated from it
    }
}

TEST(LostWork, OnlyTheLeftButtonChoosesACell) {
    Fixture f;
    QTableView* grid = f.grid();
    const int t = TaxpayerColumnOf(2016);
    QLineEdit* editor = f.enter(t, Row::TaxedIncome);
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "12.34.5");  // not yet left: nothing is decided
    const QPoint other = grid->visualRect(grid->model()->index(Row::CarPresumption, t + 2)).center();
    for (const Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        QTest::mousePress(grid->viewport(), button, {}, other);
        QTest::mouseRelease(grid->viewport(), button, {}, other);
        QTest::mouseDClick(grid->viewport(), button, {}, other);
        EXPECT_EQ(grid->currentIndex(), grid->model()->index(Row::TaxedIncome, t)) << button;
        EXPECT_EQ(f.cell(t, Row::TaxedIncome), "12.34.5") << button;  // the entry is still open
    }
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, other);
    EXPECT_EQ(grid->currentIndex(), grid->model()->index(Row::CarPresumption, t + 2));
    EXPECT_EQ(f.cell(t, Row::TaxedIncome), "");  // refused: back to the empty cell it was
}

TEST(LostWork, SpaceTogglesASpouseMarkAndTheBlankRowTakesNothing) {
    Fixture f;
    QTableView* grid = f.grid();
    const int s = SpouseColumnOf(2019);
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(Row::Spacer, s));
    QApplication::processEvents();
    QTest::keyClick(grid, Qt::Key_Up);
    QApplication::processEvents();
    ASSERT_EQ(grid->currentIndex(), grid->model()->index(Row::PersonHeader, s));
    QTest::keyClick(grid, Qt::Key_Space);
    EXPECT_EQ(f.cell(s, Row::PersonHeader), "Συζύγου*");
    EXPECT_EQ(f.cell(s, Row::MinimumLivingAmount), "2.500,00");
    QTest::keyClick(grid, Qt::Key_Space);
    EXPECT_EQ(f.cell(s, Row::PersonHeader), "Συζύγου");
    QTest::keyClick(grid, Qt::Key_Space);
    EXPECT_TRUE(f.window.isModified());

    // The blank row under the headers: Space and digits go nowhere.
    grid->setCurrentIndex(grid->model()->index(Row::Spacer, s));
    QApplication::processEvents();
    EXPECT_EQ(grid->indexWidget(grid->currentIndex()), nullptr);
    QTest::keyClick(grid, Qt::Key_Space);
    QTest::keyClicks(grid, "12");
    f.enter(s, Row::TaxedIncome);
    EXPECT_EQ(f.cell(s, Row::Spacer), "");
    EXPECT_EQ(f.cell(s, Row::PersonHeader), "Συζύγου*");  // Space there touched no mark
    for (int c = 1; c < f.window.sheet().columnCount(); ++c) EXPECT_EQ(f.cell(c, Row::Spacer), "") << c;
}

TEST(LostWork, TheFirstYearFieldRefusesAYearTheSheetCannotStartWith) {
    Fixture f;
    f.firstYear()->setFocus();
    f.firstYear()->selectAll();
    QTest::keyClicks(f.firstYear(), "2010");
    EXPECT_EQ(test::Find<QCheckBox>(f.window, "yearBox2000")->text(), "2000");  // never relabelled by a year it cannot take
    QTest::keyClick(f.firstYear(), Qt::Key_Tab);
    EXPECT_EQ(f.desktop.prompter.informed, std::vector<std::string>{kFirstYearOutOfRangeMessage});
    EXPECT_EQ(f.firstYear()->text(), "2000");
    QTest::mouseClick(test::Find<QCheckBox>(f.window, "yearBox2000"), Qt::LeftButton);
    EXPECT_EQ(f.window.sheet().columnCount(), 43);  // 2000 to 2020, nothing more

    f.firstYear()->setFocus();
    f.firstYear()->selectAll();
    QTest::keyClicks(f.firstYear(), "1995");
    QTest::keyClick(f.firstYear(), Qt::Key_Tab);
    EXPECT_EQ(test::Find<QCheckBox>(f.window, "yearBox2000")->text(), "1995");
    EXPECT_EQ(f.desktop.prompter.informed.size(), 1u);
}

TEST(LostWork, SpouseFiguresOfAnUnmarkedYearShowAHintButNoMark) {
    Fixture f;
    const int s = SpouseColumnOf(2016);
    const QModelIndex header = f.grid()->model()->index(Row::PersonHeader, s);
    EXPECT_TRUE(header.data(Qt::ToolTipRole).toString().isEmpty());
    f.typeAndLeave(s, Row::TaxedIncome, "8000");
    EXPECT_FALSE(header.data(Qt::ToolTipRole).toString().isEmpty());
    EXPECT_EQ(f.cell(s, Row::PersonHeader), "Συζύγου");
    // The hint is painted: the header cell differs from an unmarked year's without figures.
    const QImage shot = f.grid()->viewport()->grab().toImage();
    const QRect hinted = f.grid()->visualRect(header);
    const QRect plain = f.grid()->visualRect(f.grid()->model()->index(Row::PersonHeader, s + 2));
    ASSERT_EQ(hinted.size(), plain.size());
    EXPECT_NE(shot.copy(hinted), shot.copy(plain));
    QTest::mouseClick(f.grid()->viewport(), Qt::LeftButton, {}, hinted.center());
    EXPECT_TRUE(header.data(Qt::ToolTipRole).toString().isEmpty());  // marked: no hint
}

}  // namespace
}  // namespace skartina
