// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/SheetView.h"

#include "gui/SheetDelegate.h"

#include <QHeaderView>
#include <QScrollBar>

namespace skartina {

namespace {

// Rows as low as the grid's 9-pixel font allows: the header's own minimum
// follows the style's font and would make them 18 pixels.
void UseSheetRows(QTableView* view) {
    view->verticalHeader()->setMinimumSectionSize(SheetView::kRowHeight);
    view->verticalHeader()->setDefaultSectionSize(SheetView::kRowHeight);
}

}  // namespace

SheetView::SheetView(QWidget* parent) : QTableView(parent), sheetCaptions_(new QTableView(this)) {
    UseSheetRows(this);
    UseSheetRows(sheetCaptions_);
    // The captions paint as the grid does, with a delegate of their own: an
    // editor of the grid must never be reported to this view.
    sheetCaptions_->setItemDelegate(new SheetDelegate(sheetCaptions_));
    sheetCaptions_->setObjectName("sheetCaptions");
    sheetCaptions_->setFocusPolicy(Qt::NoFocus);
    sheetCaptions_->horizontalHeader()->hide();
    sheetCaptions_->verticalHeader()->hide();
    sheetCaptions_->setShowGrid(false);
    sheetCaptions_->setFrameShape(QFrame::NoFrame);
    sheetCaptions_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sheetCaptions_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sheetCaptions_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sheetCaptions_->setSelectionMode(QAbstractItemView::NoSelection);
    // The captions cannot be chosen; presses go nowhere.
    sheetCaptions_->setAttribute(Qt::WA_TransparentForMouseEvents);
    viewport()->stackUnder(sheetCaptions_);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, sheetCaptions_->verticalScrollBar(), &QScrollBar::setValue);
}

void SheetView::syncFrozenColumn() {
    if (sheetCaptions_->model() != model()) sheetCaptions_->setModel(model());
    const int columns = model() ? model()->columnCount() : 0;
    for (int c = 0; c < columns; ++c) sheetCaptions_->setColumnHidden(c, c != 0);
    if (columns > 0) sheetCaptions_->setColumnWidth(0, columnWidth(0));
    const int rows = model() ? model()->rowCount() : 0;
    for (int r = 0; r < rows; ++r) sheetCaptions_->setRowHeight(r, rowHeight(r));
    sheetCaptions_->setVisible(columns > 0);
    placeFrozenColumn();
}

void SheetView::commitOpenEditor() {
    if (QWidget* editor = indexWidget(currentIndex())) commitData(editor);
}

void SheetView::placeFrozenColumn() {
    sheetCaptions_->setGeometry(frameWidth(), frameWidth(), columnWidth(0), viewport()->height());
    sheetCaptions_->verticalScrollBar()->setValue(verticalScrollBar()->value());
}

void SheetView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    placeFrozenColumn();
}

void SheetView::updateGeometries() {
    QTableView::updateGeometries();
    placeFrozenColumn();
}

void SheetView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    // Keep a year cell out from under the captions.
    if (index.column() > 0) {
        const QRect cell = visualRect(index);
        if (cell.left() < columnWidth(0))
            horizontalScrollBar()->setValue(horizontalScrollBar()->value() + cell.left() - columnWidth(0));
    }
    QTableView::scrollTo(index, hint);
}

}  // namespace skartina
