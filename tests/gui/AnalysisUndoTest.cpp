// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and redo in the analysis window: every kind of change undone back to
// the file as it was opened, byte for byte, and redone forward to the same
// bytes; the keys and the Edit menu; the changed mark gone on the way back.

#include "common/TextFile.h"
#include "gui/TaxNumberEdit.h"
#include "gui/AnalysisWindow.h"
#include "gui/IntegerEdit.h"
#include "gui/SheetView.h"
#include "sheet/SheetRows.h"
#include "support/AnalysisWindowFixture.h"
#include "support/GuiTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QMenu>
#include <QTest>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <functional>

namespace skartina {
namespace {

using test::FakeDesktop;
using test::Find;
using test::TempDir;
using test::YearBoxName;

constexpr const char* kTaxNumber = "123456783";

struct UndoFixture : test::ShownAnalysisWindow {
    std::filesystem::path file() const { return dir.path() / "Tables" / (std::string(kTaxNumber) + "_2021.grd"); }
    std::string bytes() { return test::ReadBytes(file()); }
    // The sheet as the window would save it now.
    std::string savedBytes() {
        EXPECT_TRUE(window.onSaveClicked());
        return bytes();
    }
    void select(int column, int fromRow, int toRow) {
        grid()->setCurrentIndex(grid()->model()->index(fromRow, column));
        grid()->selectionModel()->select(QItemSelection(grid()->model()->index(fromRow, column),
                                                        grid()->model()->index(toRow, column)),
                                         QItemSelectionModel::ClearAndSelect);
    }
    void clickSpouseHeader(int year) {
        const QPoint at = grid()->visualRect(grid()->model()->index(Row::PersonHeader, SpouseColumnOf(year))).center();
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, at);
    }
    // A client's analysis with figures in two years, saved and opened anew.
    void openSavedClient() {
        Find<TaxNumberEdit>(window, "taxNumberEdit")->setText(kTaxNumber);
        for (int year : {2018, 2016})
            for (int row : {Row::TaxedIncome, Row::TaxedIncome + 1})
                test::TypeAndLeave(grid(), TaxpayerColumnOf(year), row, "1200,5");
        ASSERT_TRUE(window.onSaveClicked());
        ASSERT_TRUE(window.OpenAnalysisOf(kTaxNumber));
    }
};

// Every kind of change the user makes, each one step.
const struct {
    const char* name;
    std::function<void(UndoFixture&)> make;
} kChanges[] = {
    {"typed amount", [](UndoFixture& f) { test::TypeAndLeave(f.grid(), TaxpayerColumnOf(2017), Row::TaxedIncome, "930"); }},
    {"cleared cells",
     [](UndoFixture& f) {
         f.select(TaxpayerColumnOf(2018), Row::TaxedIncome, Row::TaxedIncome + 1);
         f.grid()->setFocus();
         QTest::keyClick(f.grid(), Qt::Key_Delete);
     }},
    {"pasted cells",
     [](UndoFixture& f) {
         QApplication::clipboard()->setText("300\t400\n500");
         f.grid()->setCurrentIndex(f.grid()->model()->index(Row::TaxedIncome + 2, TaxpayerColumnOf(2016)));
         f.window.pasteIntoSheet();
     }},
    {"married mark", [](UndoFixture& f) { f.clickSpouseHeader(2016); }},
    {"married all years", [](UndoFixture& f) { Find<QCheckBox>(f.window, "marriedAllYearsBox")->click(); }},
    {"first year",
     [](UndoFixture& f) {
         auto* field = Find<IntegerEdit>(f.window, "firstYearEdit");
         field->setFocus();
         field->selectAll();
         QTest::keyClicks(field, "1998");
         f.grid()->setFocus();
         QApplication::processEvents();
     }},
    {"a year ticked", [](UndoFixture& f) { QTest::mouseClick(Find<QCheckBox>(f.window, YearBoxName(2001)), Qt::LeftButton); }},
};

TEST(AnalysisUndo, EachChangeUndoesToTheOpenedFileAndRedoesToItsOwnBytes) {
    for (const auto& change : kChanges) {
        UndoFixture f;
        f.openSavedClient();
        const std::string opened = f.bytes();
        const auto before = f.window.sheet();
        change.make(f);
        f.window.CommitOpenEdit();
        ASSERT_TRUE(f.window.isModified()) << change.name;
        EXPECT_EQ(f.window.document().undoStack().count(), 1) << change.name << ": one step";
        const auto after = f.window.sheet();

        f.window.undo();
        EXPECT_FALSE(f.window.isModified()) << change.name << ": back to the sheet as saved";
        EXPECT_TRUE(f.window.sheet() == before) << change.name;
        EXPECT_EQ(f.savedBytes(), opened) << change.name;
        f.window.redo();
        EXPECT_TRUE(f.window.sheet() == after) << change.name;
        EXPECT_TRUE(f.window.isModified()) << change.name;
    }
}

TEST(AnalysisUndo, ManyStepsBackToTheOpenedBytesAndForwardAgain) {
    UndoFixture f;
    f.openSavedClient();
    const std::string opened = f.bytes();
    for (const auto& change : kChanges) {
        change.make(f);
        f.window.CommitOpenEdit();
    }
    QUndoStack& steps = f.window.document().undoStack();
    EXPECT_EQ(steps.count(), static_cast<int>(std::size(kChanges)));
    const std::string changed = f.savedBytes();
    ASSERT_NE(changed, opened);
    // Saving made the changed sheet the clean one: undoing leaves it changed again.
    while (steps.canUndo()) f.window.undo();
    EXPECT_TRUE(f.window.isModified());
    EXPECT_EQ(f.savedBytes(), opened);
    EXPECT_FALSE(f.window.isModified());
    while (steps.canRedo()) f.window.redo();
    EXPECT_TRUE(f.window.isModified());
    EXPECT_EQ(f.savedBytes(), changed);
    // The year boxes follow the sheet back and forth.
    EXPECT_TRUE(Find<QCheckBox>(f.window, YearBoxName(2001))->isChecked());
    while (steps.canUndo()) f.window.undo();
    EXPECT_FALSE(Find<QCheckBox>(f.window, YearBoxName(2001))->isChecked());
    EXPECT_EQ(Find<IntegerEdit>(f.window, "firstYearEdit")->text(), "2000");
}

TEST(AnalysisUndo, TheKeysAndTheEditMenuUndoAndRedo) {
    const struct {
        QKeySequence undo;
        QKeySequence redo;
    } cases[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
        {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
    };
    for (const auto& c : cases) {
        UndoFixture f;
        auto* undo = Find<QAction>(f.window, "undoAction");
        auto* redo = Find<QAction>(f.window, "redoAction");
        EXPECT_FALSE(undo->isEnabled()) << "nothing to undo yet";
        EXPECT_FALSE(redo->isEnabled());
        const int t = TaxpayerColumnOf(2018);
        test::TypeAndLeave(f.grid(), t, Row::TaxedIncome, "250");
        ASSERT_EQ(CellText(f.window.sheet(), t, Row::TaxedIncome), "250,00");
        EXPECT_TRUE(undo->isEnabled());
        f.grid()->setFocus();
        QTest::keySequence(&f.window, c.undo);
        QApplication::processEvents();
        EXPECT_EQ(CellText(f.window.sheet(), t, Row::TaxedIncome), "") << c.undo.toString().toStdString();
        EXPECT_FALSE(f.window.isModified()) << "a new window's sheet again";
        EXPECT_FALSE(undo->isEnabled());
        EXPECT_TRUE(redo->isEnabled());
        QTest::keySequence(&f.window, c.redo);
        QApplication::processEvents();
        EXPECT_EQ(CellText(f.window.sheet(), t, Row::TaxedIncome), "250,00") << c.redo.toString().toStdString();
        EXPECT_TRUE(f.window.isModified());
    }
    // The Edit menu and the sheet's context menu hold both commands.
    UndoFixture f;
    auto* undo = Find<QAction>(f.window, "undoAction");
    bool inEditMenu = false;
    for (QMenu* menu : f.window.findChildren<QMenu*>())
        if (menu->title() == "&Επεξεργασία") inEditMenu = menu->actions().contains(undo);
    EXPECT_TRUE(inEditMenu);
}

TEST(AnalysisUndo, AnAmountStillBeingTypedIsUndoneFirst) {
    UndoFixture f;
    const int t = TaxpayerColumnOf(2018);
    test::TypeAndLeave(f.grid(), t, Row::TaxedIncome, "100");
    QTest::keyClicks(test::EnterCell(f.grid(), t, Row::TaxedIncome + 1), "200");
    EXPECT_TRUE(f.window.isModified());
    f.window.undo();
    EXPECT_EQ(CellText(f.window.sheet(), t, Row::TaxedIncome), "100,00");
    EXPECT_EQ(CellText(f.window.sheet(), t, Row::TaxedIncome + 1), "");
    f.window.undo();
    EXPECT_EQ(CellText(f.window.sheet(), t, Row::TaxedIncome), "");
    EXPECT_FALSE(f.window.isModified());
}

}  // namespace
}  // namespace skartina
