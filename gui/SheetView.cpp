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
    // Low enough for the smallest zoom.
    view->verticalHeader()->setMinimumSectionSize(SheetView::kRowHeight / 2);
    view->verticalHeader()->setDefaultSectionSize(SheetView::kRowHeight);
}

}  // namespace

QTableView* SheetView::frozenView(const char* name) {
    auto* view = new QTableView(this);
    UseSheetRows(view);
    // Each paints as the grid does, with a delegate of its own: an editor of
    // the grid must never be reported to this view.
    view->setItemDelegate(new SheetDelegate(view));
    view->setObjectName(name);
    view->setFocusPolicy(Qt::NoFocus);
    view->horizontalHeader()->hide();
    view->verticalHeader()->hide();
    view->setShowGrid(false);
    view->setFrameShape(QFrame::NoFrame);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionMode(QAbstractItemView::NoSelection);
    // Presses go through to the grid, which finds the cell shown there (indexAt).
    view->setAttribute(Qt::WA_TransparentForMouseEvents);
    return view;
}

SheetView::SheetView(QWidget* parent)
    : QTableView(parent), sheetCaptions_(frozenView("sheetCaptions")), sheetHeaders_(frozenView("sheetHeaders")),
      sheetCorner_(frozenView("sheetCorner")) {
    UseSheetRows(this);
    viewport()->stackUnder(sheetCaptions_);
    sheetHeaders_->raise();
    sheetCorner_->raise();
    connect(verticalScrollBar(), &QScrollBar::valueChanged, sheetCaptions_->verticalScrollBar(), &QScrollBar::setValue);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, sheetHeaders_->horizontalScrollBar(), &QScrollBar::setValue);
    // A frozen view lays itself out later than the grid: once its range is known it takes the grid's place again.
    connect(sheetHeaders_->horizontalScrollBar(), &QScrollBar::rangeChanged, this,
            [this] { sheetHeaders_->horizontalScrollBar()->setValue(horizontalScrollBar()->value()); });
    connect(sheetCaptions_->verticalScrollBar(), &QScrollBar::rangeChanged, this,
            [this] { sheetCaptions_->verticalScrollBar()->setValue(verticalScrollBar()->value()); });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        sheetHeaders_->setColumnWidth(column, width);
        if (column == 0) {
            sheetCaptions_->setColumnWidth(0, width);
            sheetCorner_->setColumnWidth(0, width);
        }
        placeFrozenColumn();
    });
}

void SheetView::syncFrozenColumn() {
    for (QTableView* view : {sheetCaptions_, sheetHeaders_, sheetCorner_})
        if (view->model() != model()) view->setModel(model());
    const int columns = model() ? model()->columnCount() : 0;
    const int rows = model() ? model()->rowCount() : 0;
    sheetHeaders_->clearSpans();
    for (int c = 0; c < columns; ++c) {
        sheetCaptions_->setColumnHidden(c, c != 0);
        sheetCorner_->setColumnHidden(c, c != 0);
        sheetHeaders_->setColumnWidth(c, columnWidth(c));
        for (int r = 0; r < kFrozenRows && r < rows; ++r)
            if (columnSpan(r, c) > 1) sheetHeaders_->setSpan(r, c, 1, columnSpan(r, c));
    }
    if (columns > 0) {
        sheetCaptions_->setColumnWidth(0, columnWidth(0));
        sheetCorner_->setColumnWidth(0, columnWidth(0));
    }
    for (int r = 0; r < rows; ++r) {
        for (QTableView* view : {sheetCaptions_, sheetHeaders_, sheetCorner_}) view->setRowHeight(r, rowHeight(r));
        sheetHeaders_->setRowHidden(r, r >= kFrozenRows);
        sheetCorner_->setRowHidden(r, r >= kFrozenRows);
    }
    for (QTableView* view : {sheetCaptions_, sheetHeaders_, sheetCorner_}) view->setVisible(columns > 0);
    placeFrozenColumn();
}

int SheetView::frozenHeight() const {
    int height = 0;
    for (int r = 0; r < kFrozenRows && model() && r < model()->rowCount(); ++r) height += rowHeight(r);
    return height;
}

QModelIndex SheetView::indexAt(const QPoint& point) const {
    if (!model()) return {};
    const bool inHeaders = point.y() >= 0 && point.y() < frozenHeight();
    const bool inCaptions = point.x() >= 0 && point.x() < columnWidth(0);
    const int column = inCaptions ? 0 : columnAt(point.x());
    int row = rowAt(point.y());
    if (inHeaders) row = point.y() < rowHeight(0) ? 0 : 1;
    if (row < 0 || column < 0) return {};
    return model()->index(row, column, rootIndex());
}

void SheetView::commitOpenEditor() {
    if (QWidget* editor = indexWidget(currentIndex())) commitData(editor);
}

void SheetView::placeFrozenColumn() {
    const int frozen = frozenHeight();
    sheetCaptions_->setGeometry(frameWidth(), frameWidth(), columnWidth(0), viewport()->height());
    sheetCaptions_->verticalScrollBar()->setValue(verticalScrollBar()->value());
    sheetHeaders_->setGeometry(frameWidth(), frameWidth(), viewport()->width(), frozen);
    sheetHeaders_->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
    sheetCorner_->setGeometry(frameWidth(), frameWidth(), columnWidth(0), frozen);
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
    // And a row below the headers out from under them (the grid scrolls by whole rows).
    if (index.row() >= kFrozenRows && verticalScrollBar()->value() > index.row() - kFrozenRows)
        verticalScrollBar()->setValue(index.row() - kFrozenRows);
    QTableView::scrollTo(index, hint);
}

}  // namespace skartina
