// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis window as it is used all day: keys in the grid and the fields,
// commands given while an amount is still being typed, closing with changes.

#include "gui/TaxNumberEdit.h"
#include "gui/AnalysisWindow.h"
#include "gui/SheetView.h"
#include "sheet/AnalysisFile.h"
#include "sheet/SheetRows.h"
#include "common/TextFile.h"
#include "support/GuiTestSupport.h"

#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace skartina {
namespace {

using test::FakeDesktop;
using test::Find;
using test::ScriptedPrompter;
using test::TempDir;
using test::YearBoxName;
using Answer = Prompter::Answer;

struct EditingFixture {
    EditingFixture() {
        window.show();
        QApplication::processEvents();
    }
    TempDir dir;
    FakeDesktop desktop;
    AnalysisWindow window{dir.path(), desktop.services()};

    std::string cell(int column, int row) { return CellText(window.sheet(), column, row); }
    // Makes the cell current and returns its open editor, empty.
    QLineEdit* enter(int column, int row) { return test::EnterCell(grid(), column, row); }
    QLineEdit* editor() { return qobject_cast<QLineEdit*>(grid()->indexWidget(grid()->currentIndex())); }
    SheetView* grid() { return Find<SheetView>(window, "sheetView"); }
};

// Collects Qt's warnings while it lives.
class WarningLog {
public:
    WarningLog() {
        lines().clear();
        previous_ = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
            lines() << text;
        });
    }
    ~WarningLog() { qInstallMessageHandler(previous_); }
    static QStringList& lines() {
        static QStringList collected;
        return collected;
    }

private:
    QtMessageHandler previous_;
};

TEST(AnalysisEditing, EscapeLeavesTheCellEditorAndNeverTheWindow) {
    EditingFixture f;
    const int t = TaxpayerColumnOf(2018);
    QLineEdit* editor = f.enter(t, Row::TaxedIncome);
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "500");
    QTest::keyClick(editor, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_TRUE(f.window.isVisible());
    EXPECT_EQ(f.cell(t, Row::TaxedIncome), "") << "Escape gives the typing up";
    // An amount entered before comes back as it was.
    QTest::keyClicks(f.enter(t, Row::TaxedIncome), "500");
    QTest::keyClick(f.editor(), Qt::Key_Return);
    const std::string entered = f.cell(t, Row::TaxedIncome);
    EXPECT_EQ(entered, "500,00");
    QTest::keyClicks(f.enter(t, Row::TaxedIncome), "7");
    QTest::keyClick(f.editor(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(f.cell(t, Row::TaxedIncome), entered);
    // A second Escape reaches the grid, then the window: both stay.
    QTest::keyClick(f.grid(), Qt::Key_Escape);
    QTest::keyClick(&f.window, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_TRUE(f.window.isVisible());
    EXPECT_TRUE(f.desktop.prompter.asked.empty());
}

TEST(AnalysisEditing, RightAndLeftAtTheEdgeOfTheTextMoveToTheNeighbouringCell) {
    EditingFixture f;
    const int t = TaxpayerColumnOf(2018);
    QTest::keyClicks(f.enter(t, Row::TaxedIncome), "100");
    QTest::keyClick(f.editor(), Qt::Key_Right);
    EXPECT_EQ(f.grid()->currentIndex().column(), t + 1);
    QTest::keyClicks(f.editor(), "200");
    QTest::keyClick(f.editor(), Qt::Key_Right);
    EXPECT_EQ(f.cell(t, Row::TaxedIncome), "100,00");
    EXPECT_EQ(f.cell(t + 1, Row::TaxedIncome), "200,00");

    // Inside the text the arrows move the cursor; at its start Left leaves.
    QTest::keyClicks(f.editor(), "34");
    QTest::keyClick(f.editor(), Qt::Key_Left);
    EXPECT_EQ(f.grid()->currentIndex().column(), t + 2);
    EXPECT_EQ(f.editor()->cursorPosition(), 1);
    QTest::keyClick(f.editor(), Qt::Key_Left);
    QTest::keyClick(f.editor(), Qt::Key_Left);
    EXPECT_EQ(f.grid()->currentIndex().column(), t + 1);
    EXPECT_EQ(f.cell(t + 2, Row::TaxedIncome), "34,00");

    // Selected text is replaced by typing, not left.
    f.editor()->selectAll();
    QTest::keyClick(f.editor(), Qt::Key_Right);
    EXPECT_EQ(f.grid()->currentIndex().column(), t + 1);

    // The first year column has nothing to its left but the captions.
    f.enter(1, Row::TaxedIncome);
    f.editor()->deselect();
    f.editor()->setCursorPosition(0);
    QTest::keyClick(f.editor(), Qt::Key_Left);
    EXPECT_EQ(f.grid()->currentIndex().column(), 1);
}

TEST(AnalysisEditing, SaveAndExportsTakeTheAmountStillBeingTyped) {
    EditingFixture f;
    std::filesystem::create_directory(f.dir / "Tables");
    Find<TaxNumberEdit>(f.window, "taxNumberEdit")->setText("123456783");
    const int t = TaxpayerColumnOf(2015);
    QTest::keyClicks(f.enter(t, Row::TaxedIncome), "125");

    ASSERT_TRUE(f.window.onSaveClicked());
    SheetGrid saved;
    ASSERT_TRUE(LoadGridFromFile(f.dir / "Tables" / "123456783_2021.grd", saved));
    EXPECT_EQ(saved.cell(t, Row::TaxedIncome), "125,00");
    EXPECT_EQ(saved.cell(t, Row::IncomeTotal), "125,00");

    // Still in the same cell, which now shows the amount as saved: a new amount, then the CSV export.
    ASSERT_EQ(f.editor()->text(), "125,00");
    f.editor()->selectAll();
    QTest::keyClicks(f.editor(), "1250");
    f.window.onExportCsvClicked();
    const auto lines = ReadCp1253Lines(f.dir / "Tables" / "123456783_2021.csv");
    bool found = false;
    for (const auto& line : lines) found = found || line.find("1.250,00") != std::string::npos;
    EXPECT_TRUE(found);
    EXPECT_EQ(f.cell(t, Row::IncomeTotal), "1.250,00");
}

TEST(AnalysisEditing, ATaxNumberWithAnUnderscoreIsRefusedAtSave) {
    EditingFixture f;
    std::filesystem::create_directory(f.dir / "Tables");
    Find<TaxNumberEdit>(f.window, "taxNumberEdit")->setText("12_3456783");
    EXPECT_FALSE(f.window.onSaveClicked());
    ASSERT_EQ(f.desktop.prompter.informed.size(), 1u);
    EXPECT_NE(f.desktop.prompter.informed[0].find("«_»"), std::string::npos) << f.desktop.prompter.informed[0];
    EXPECT_TRUE(test::FolderNames(f.dir / "Tables").empty());
}

TEST(AnalysisEditing, ClosingWithUnsavedChangesAsksOnce) {
    const struct {
        Answer answer;
        bool hasTaxNumber;
        bool closes;
        bool saved;
    } cases[] = {
        {Answer::Yes, true, true, true},    // saved, then closed
        {Answer::Yes, false, false, false},  // the save cannot happen: the sheet stays
        {Answer::No, true, true, false},
        {Answer::Cancel, true, false, false},
    };
    for (const auto& c : cases) {
        EditingFixture f;
        std::filesystem::create_directory(f.dir / "Tables");
        if (c.hasTaxNumber) Find<TaxNumberEdit>(f.window, "taxNumberEdit")->setText("123456783");
        f.desktop.prompter = ScriptedPrompter(c.answer);
        QTest::keyClicks(f.enter(TaxpayerColumnOf(2017), Row::TaxedIncome), "70");
        f.window.close();  // the title bar's close
        QApplication::processEvents();
        EXPECT_EQ(f.desktop.prompter.asked, std::vector<std::string>{kSaveChangesQuestion});
        EXPECT_EQ(!f.window.isVisible(), c.closes);
        EXPECT_EQ(std::filesystem::exists(f.dir / "Tables" / "123456783_2021.grd"), c.saved);
    }
}

TEST(AnalysisEditing, OnlyChangesNotSavedAreAskedAbout) {
    EditingFixture f;
    std::filesystem::create_directory(f.dir / "Tables");
    EXPECT_FALSE(f.window.isModified());  // a new window
    Find<QCheckBox>(f.window, "marriedAllYearsBox")->click();
    EXPECT_TRUE(f.window.isModified());
    Find<TaxNumberEdit>(f.window, "taxNumberEdit")->setText("123456783");
    f.window.onSaveClicked();
    EXPECT_FALSE(f.window.isModified());

    const QTableView* grid = f.grid();
    const QPoint spouse = grid->visualRect(grid->model()->index(Row::PersonHeader, SpouseColumnOf(2020))).center();
    QTest::mouseClick(f.grid()->viewport(), Qt::LeftButton, {}, spouse);
    EXPECT_TRUE(f.window.isModified());  // a married mark
    ASSERT_TRUE(f.window.OpenAnalysisOf("123456783"));
    EXPECT_FALSE(f.window.isModified());  // opened as saved
    QTest::mouseClick(Find<QCheckBox>(f.window, YearBoxName(2002)), Qt::LeftButton);
    EXPECT_TRUE(f.window.isModified());  // the years

    f.desktop.prompter = ScriptedPrompter(Answer::No);
    f.window.OpenAnalysisOf("123456783");
    f.window.close();
    EXPECT_TRUE(f.desktop.prompter.asked.empty());
    EXPECT_FALSE(f.window.isVisible());
}

// The current cell keeps its colour on screen however it was reached: its
// editor opens on it and must not paint it white.
TEST(AnalysisEditing, TheCurrentCellStaysHighlightedAfterEveryMove) {
    const QColor highlight(210, 225, 245);
    struct Move {
        const char* name;
        Qt::Key key;
        int columns, rows;
    };
    for (const Move move : {Move{"Down", Qt::Key_Down, 0, 1}, Move{"Up", Qt::Key_Up, 0, -1},
                            Move{"Right at the end", Qt::Key_Right, 1, 0}, Move{"Enter", Qt::Key_Return, 0, 1}}) {
        EditingFixture f;
        f.window.activateWindow();
        const int t = TaxpayerColumnOf(2018);
        QTest::keyClicks(f.enter(t, Row::TaxedIncome + 2), "12");
        QTest::keyClick(QApplication::focusWidget(), move.key);
        QApplication::processEvents();
        const QModelIndex current = f.grid()->currentIndex();
        ASSERT_EQ(current.column(), t + move.columns) << move.name;
        ASSERT_EQ(current.row(), Row::TaxedIncome + 2 + move.rows) << move.name;
        // A pixel inside the cell, left of any text.
        const QRect cell = f.grid()->visualRect(current);
        const QImage shown = f.grid()->viewport()->grab().toImage();
        EXPECT_EQ(QColor(shown.pixel(cell.left() + 3, cell.center().y())).name(), highlight.name()) << move.name;
        EXPECT_EQ(f.cell(t, Row::TaxedIncome + 2), "12,00") << move.name;
    }
}

TEST(AnalysisEditing, EnterOrTabAfterTheTaxNumberGoesToTheName) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Tab}) {
        EditingFixture f;
        f.window.activateWindow();
        Find<TaxNumberEdit>(f.window, "taxNumberEdit")->setFocus();
        QTest::keyClicks(Find<TaxNumberEdit>(f.window, "taxNumberEdit"), "123456783");
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_EQ(QApplication::focusWidget(), Find<QLineEdit>(f.window, "nameEdit")) << key;
    }
}

TEST(AnalysisEditing, TheCaptionsAndTheGridShareNoEditor) {
    WarningLog log;
    {
        EditingFixture f;
        for (int column = 1; column <= 6; ++column) {
            QTest::keyClicks(f.enter(column, Row::TaxedIncome + column), "12");
            QTest::keyClick(f.editor(), Qt::Key_Right);
            QTest::keyClick(f.editor(), Qt::Key_Escape);
            QTest::keyClick(f.grid(), Qt::Key_Return);
        }
        f.window.onSaveClicked();  // commits the open edit too
        EXPECT_NE(f.cell(1, Row::TaxedIncome + 1), "");
    }
    EXPECT_TRUE(log.lines().filter("does not belong to this view").isEmpty()) << log.lines().join('\n').toStdString();
}

}  // namespace
}  // namespace skartina
