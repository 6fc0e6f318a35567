// SPDX-License-Identifier: GPL-3.0-or-later
// How the sheet fits a laptop screen and paints what it holds.

#include "gui/AnalysisWindow.h"
#include "gui/SheetDelegate.h"
#include "gui/SheetView.h"
#include "sheet/SheetRows.h"
#include "support/GuiTestSupport.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <QImage>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace skartina {
namespace {

using test::FakeDesktop;
using test::Find;
using test::TempDir;

// The most common laptop screen, 1366 × 768, less what a desktop keeps for
// itself: a task bar (40 pixels) and the window's title bar (30 pixels).
constexpr QSize kLaptopWindowArea(1366, 768 - 40 - 30);

TEST(SheetFit, RowsAreFourteenPixelsAndTheFinalBalanceFitsALaptopScreen) {
    TempDir dir;
    FakeDesktop desktop;
    AnalysisWindow window(dir.path(), desktop.services());
    window.setWindowState(Qt::WindowNoState);  // sized as on the laptop, whatever this screen is
    window.resize(kLaptopWindowArea);
    window.show();
    QApplication::processEvents();
    ASSERT_LE(window.height(), kLaptopWindowArea.height()) << "the window cannot be made as low as the screen";

    SheetView* grid = Find<SheetView>(window, "sheetView");
    for (int row = 0; row < 40; ++row) ASSERT_EQ(grid->rowHeight(row), 14) << row;
    const int bottomOfFinalBalance = grid->rowViewportPosition(Row::FinalBalance) + grid->rowHeight(Row::FinalBalance);
    EXPECT_EQ(grid->rowViewportPosition(0), 0);
    EXPECT_LE(bottomOfFinalBalance, grid->viewport()->height());
}

TEST(SheetFit, TheMarriedMarkBoxStaysInsideItsCell) {
    const QRect cell(100, 20, kYearColumnWidth, SheetView::kRowHeight);
    const QRect box = MarkBoxRect(cell);
    // The outline takes one pixel beyond the rectangle; the grid line takes the cell's last column and row.
    const QRect painted = box.adjusted(0, 0, 1, 1);
    EXPECT_TRUE(cell.adjusted(0, 0, -1, -1).contains(painted)) << painted.right() << " " << painted.bottom();
    EXPECT_EQ(box.left() - cell.left(), 51);

    // On screen: the box's right edge is drawn inside the spouse column.
    TempDir dir;
    FakeDesktop desktop;
    AnalysisWindow window(dir.path(), desktop.services());
    window.show();
    QApplication::processEvents();
    SheetView* grid = Find<SheetView>(window, "sheetView");
    const QRect spouse = grid->visualRect(grid->model()->index(Row::PersonHeader, SpouseColumnOf(2020)));
    const QImage shot = grid->viewport()->grab().toImage();
    const QRect drawn = MarkBoxRect(spouse);
    // The outline runs one pixel right of the rectangle.
    const QColor edge = shot.pixelColor(drawn.right() + 1, drawn.center().y());
    EXPECT_LT(edge.lightness(), 80) << "no box edge at x " << drawn.right() + 1;
    EXPECT_LT(drawn.right() + 1, spouse.right());
}

TEST(SheetFit, AnAmountWiderThanItsColumnWidensEveryYearColumnOnceTheClickIsOver) {
    TempDir dir;
    FakeDesktop desktop;
    AnalysisWindow window(dir.path(), desktop.services());
    window.show();
    QApplication::processEvents();
    const int t = TaxpayerColumnOf(2019);
    EXPECT_EQ(Find<SheetView>(window, "sheetView")->columnWidth(t), kYearColumnWidth);
    const std::string wide = "123.456.789.012,34";
    SetCellText(window.sheet(), t, Row::TaxedIncome, wide);
    window.RecalculateSheet();  // the income total (bold) holds it too
    ASSERT_EQ(CellText(window.sheet(), t, Row::IncomeTotal), wide);
    EXPECT_EQ(Find<SheetView>(window, "sheetView")->columnWidth(t), kYearColumnWidth) << "not in the event in hand";
    QApplication::processEvents();
    const QFontMetrics bold(SheetFont(true));
    const int widened = Find<SheetView>(window, "sheetView")->columnWidth(t);
    EXPECT_GE(widened, bold.horizontalAdvance(QString::fromStdString(wide)) + 2);
    for (int c : {1, t + 1, window.sheet().columnCount() - 1})
        EXPECT_EQ(Find<SheetView>(window, "sheetView")->columnWidth(c), widened) << "one width for every year column";

    SetCellText(window.sheet(), t, Row::TaxedIncome, "");
    window.RecalculateSheet();
    QApplication::processEvents();
    EXPECT_EQ(Find<SheetView>(window, "sheetView")->columnWidth(t), kYearColumnWidth);
}

TEST(SheetFit, TheWindowWithItsFrameFitsALaptopScreen) {
    TempDir dir;
    FakeDesktop desktop;
    AnalysisWindow window(dir.path(), desktop.services());
    // 1366 × 740 outside at most: the frame a window manager adds (about 36 pixels) included.
    // A screen with less room than that opens it maximised.
    const QSize available = window.screen()->availableGeometry().size();
    const bool smaller = available.width() < 1366 || available.height() < 736;
    EXPECT_EQ(bool(window.windowState() & Qt::WindowMaximized), smaller) << available.width() << "x" << available.height();
    EXPECT_LE(window.width() + 10, 1366);
    EXPECT_LE(window.height() + 36, 740);
}

TEST(SheetFit, EndAndCtrlEndKeepTheHeaderRowsAndTheCaptionsInSight) {
    TempDir dir;
    FakeDesktop desktop;
    AnalysisWindow window(dir.path(), desktop.services());
    window.setWindowState(Qt::WindowNoState);
    window.resize(900, 500);  // smaller than the sheet both ways
    window.show();
    QApplication::processEvents();
    SheetView* grid = Find<SheetView>(window, "sheetView");
    auto* headers = Find<QTableView>(*grid, "sheetHeaders");
    const int frozen = grid->rowHeight(Row::YearHeader) + grid->rowHeight(Row::PersonHeader);
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(Row::TaxedIncome, 1));
    for (const auto& [key, modifiers] : {std::pair{Qt::Key_End, Qt::NoModifier}, std::pair{Qt::Key_End, Qt::ControlModifier}}) {
        QTest::keyClick(grid, key, modifiers);
        QApplication::processEvents();
        const QModelIndex current = grid->currentIndex();
        EXPECT_GT(current.column(), 10) << "End goes to the last year";
        const QRect cell = grid->visualRect(current);
        // The cell in sight, not under the headers or the captions.
        EXPECT_GE(cell.top(), frozen) << modifiers;
        EXPECT_GE(cell.left(), grid->columnWidth(0)) << modifiers;
        EXPECT_LE(cell.bottom(), grid->viewport()->height()) << modifiers;
        // The headers show the years of the columns in sight, over them.
        EXPECT_TRUE(headers->isVisible());
        EXPECT_EQ(headers->horizontalScrollBar()->value(), grid->horizontalScrollBar()->value());
        EXPECT_EQ(headers->geometry().height(), frozen);
        // A press on the header row reaches the header's cell, whatever the scroll.
        EXPECT_EQ(grid->indexAt(QPoint(cell.center().x(), 2)).row(), Row::YearHeader);
        EXPECT_EQ(grid->indexAt(QPoint(cell.center().x(), 2)).column(), grid->columnAt(cell.center().x()));
    }
    EXPECT_GT(grid->verticalScrollBar()->value(), 0) << "Ctrl+End scrolled down";
}

}  // namespace
}  // namespace skartina
