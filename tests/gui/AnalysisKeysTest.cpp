// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis window's keys and menus: every standard shortcut runs its
// command, F10 opens the menus, the menus have mnemonics, and the sheet's
// commands (Delete, Backspace, copy, paste, its context menu) act on the
// selected cells.

#include "gui/AnalysisWindow.h"
#include "gui/SheetView.h"
#include "sheet/SheetRows.h"
#include "support/AnalysisWindowFixture.h"
#include "support/GuiTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace skartina {
namespace {

using test::FakeDesktop;
using test::Find;
using test::TempDir;

struct KeysFixture : test::ShownAnalysisWindow {
    std::string cell(int column, int row) { return CellText(window.sheet(), column, row); }
};

// Closes whatever window or menu a command opens, once it is open.
void CloseWhatOpens() {
    QTimer::singleShot(50, [] {
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
}

TEST(AnalysisKeys, EveryShortcutRunsItsCommand) {
    const struct {
        QKeySequence keys;
        const char* action;
    } cases[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_S), "saveAction"},
        {QKeySequence(Qt::CTRL | Qt::Key_O), "openAction"},
        {QKeySequence(Qt::CTRL | Qt::Key_P), "printAction"},
        {QKeySequence(Qt::CTRL | Qt::Key_E), "exportExcelAction"},
        {QKeySequence(Qt::Key_F1), "instructionsAction"},
    };
    for (const auto& c : cases) {
        KeysFixture f;
        f.grid()->setFocus();
        QSignalSpy triggered(Find<QAction>(f.window, c.action), &QAction::triggered);
        CloseWhatOpens();
        QTest::keySequence(&f.window, c.keys);
        QApplication::processEvents();
        EXPECT_EQ(triggered.count(), 1) << c.action;
    }
    // Ctrl+S really saves: without a tax number it says what is missing.
    KeysFixture f;
    QTest::keySequence(&f.window, QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(f.desktop.prompter.informed, std::vector<std::string>{kNoTaxNumberToSaveMessage});
}

TEST(AnalysisKeys, EveryMenuHasAMnemonicAndF10OpensTheFirst) {
    KeysFixture f;
    auto* bar = Find<QMenuBar>(f.window, "menuBar");
    ASSERT_FALSE(bar->actions().isEmpty());
    for (QAction* menu : bar->actions()) {
        EXPECT_TRUE(menu->text().contains('&')) << menu->text().toStdString();
        for (QAction* item : menu->menu()->actions())
            if (!item->isSeparator()) EXPECT_TRUE(item->text().contains('&')) << item->text().toStdString();
    }
    f.grid()->setFocus();
    QTest::keyClick(&f.window, Qt::Key_F10);
    QApplication::processEvents();
    EXPECT_EQ(bar->activeAction(), bar->actions().front());
}

TEST(AnalysisKeys, DeleteAndBackspaceClearTheSelectedCells) {
    for (const Qt::Key key : {Qt::Key_Delete, Qt::Key_Backspace}) {
        KeysFixture f;
        const int t = TaxpayerColumnOf(2018);
        for (int row : {Row::TaxedIncome, Row::TaxedIncome + 1}) test::TypeAndLeave(f.grid(), t, row, "100");
        f.window.CommitOpenEdit();
        ASSERT_EQ(f.cell(t, Row::TaxedIncome), "100,00");
        f.grid()->setCurrentIndex(f.grid()->model()->index(Row::TaxedIncome, t));
        f.grid()->selectionModel()->select(QItemSelection(f.grid()->model()->index(Row::TaxedIncome, t),
                                                          f.grid()->model()->index(Row::TaxedIncome + 1, t)),
                                           QItemSelectionModel::ClearAndSelect);
        f.grid()->setFocus();
        QTest::keyClick(f.grid(), key);
        EXPECT_EQ(f.cell(t, Row::TaxedIncome), "") << key;
        EXPECT_EQ(f.cell(t, Row::TaxedIncome + 1), "") << key;
        EXPECT_TRUE(f.window.isModified());
        // The captions and headers take no clearing.
        EXPECT_FALSE(f.cell(0, Row::TaxedIncome).empty());
    }
}

TEST(AnalysisKeys, CopyAndPasteGoThroughTheClipboardAndTheContextMenuHoldsThem) {
    KeysFixture f;
    const int t = TaxpayerColumnOf(2018);
    test::TypeAndLeave(f.grid(), t, Row::TaxedIncome, "1234,5");
    f.window.CommitOpenEdit();
    f.grid()->setCurrentIndex(f.grid()->model()->index(Row::TaxedIncome, t));
    f.grid()->setFocus();
    QTest::keySequence(f.grid(), QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), "1.234,50");

    // Two rows of two cells, one of them no amount: that cell keeps its text.
    QApplication::clipboard()->setText("10\t20\nxyz\t30,5\n");
    f.grid()->setCurrentIndex(f.grid()->model()->index(Row::TaxedIncome, t));
    QTest::keySequence(f.grid(), QKeySequence::Paste);
    EXPECT_EQ(f.cell(t, Row::TaxedIncome), "10,00");
    EXPECT_EQ(f.cell(t + 1, Row::TaxedIncome), "20,00");
    EXPECT_EQ(f.cell(t, Row::TaxedIncome + 1), "");
    EXPECT_EQ(f.cell(t + 1, Row::TaxedIncome + 1), "30,50");

    QStringList offered;
    QTimer::singleShot(50, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* action : menu->actions()) offered << action->objectName();
            menu->close();
        }
    });
    emit f.grid()->customContextMenuRequested(QPoint(10, 10));
    // A separator (no name) between the cell commands and undo/redo.
    EXPECT_EQ(offered, (QStringList{"copyAction", "pasteAction", "clearAction", "", "undoAction", "redoAction"}));
}

TEST(AnalysisKeys, ZoomKeysResizeTheSheetAndTheZoomIsRemembered) {
    KeysFixture f;
    const auto rowHeight = [](AnalysisWindow& window) {
        return Find<SheetView>(window, "sheetView")->rowHeight(Row::TaxedIncome);
    };
    ASSERT_EQ(rowHeight(f.window), 14);
    f.grid()->setFocus();
    QTest::keySequence(&f.window, QKeySequence(Qt::CTRL | Qt::Key_Equal));
    QTest::keySequence(&f.window, QKeySequence::ZoomIn);
    const int larger = rowHeight(f.window);
    EXPECT_GT(larger, 14);
    EXPECT_GT(Find<SheetView>(f.window, "sheetView")->columnWidth(0), 253) << "the captions grow too";
    EXPECT_EQ(test::ReadBytes(f.dir.path() / "zoom21.ini").substr(0, 3), "125");
    {
        // A window opened later shows the sheet as large.
        AnalysisWindow again(f.dir.path(), f.desktop.services());
        EXPECT_EQ(rowHeight(again), larger);
    }
    QTest::keySequence(&f.window, QKeySequence(Qt::CTRL | Qt::Key_0));
    EXPECT_EQ(rowHeight(f.window), 14);
    QTest::keySequence(&f.window, QKeySequence::ZoomOut);
    EXPECT_LT(rowHeight(f.window), 14);
    QTest::keySequence(&f.window, QKeySequence(Qt::CTRL | Qt::Key_0));
}

}  // namespace
}  // namespace skartina
