// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the sheet's grid paints its cells and edits amounts.

#include "sheet/HandEntry.h"
#include "sheet/Sheet.h"

#include <QStyledItemDelegate>

#include <functional>

namespace skartina {

class SheetDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit SheetDelegate(QObject* parent = nullptr) : QStyledItemDelegate(parent) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

signals:
    // The text in a cell's editor changed (the cell already holds it).
    void textEdited(CellPos cell) const;
    // Enter was pressed in a cell's editor.
    void enterPressed() const;
    // Right at the end or Left at the start of the editor's text, nothing
    // selected: the user moves on by one column (+1 or -1), as in a string grid.
    void stepAside(int columns) const;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;
};

// The grid's font: Arial with a character height of 9 pixels (bold for the total rows).
QFont SheetFont(bool bold = false);
// The sheet's zoom in percent (100: 9-pixel text, 14-pixel rows), for every sheet shown.
int SheetZoomPercent();
void SetSheetZoomPercent(int percent);
// Pixels of the sheet at 100 %, at the zoom.
int Zoomed(int pixels);

// The width of a year column unless an amount needs more.
inline constexpr int kYearColumnWidth = 64;

// The width the widest text of the column needs to be shown whole.
int SheetCellTextWidth(const Sheet& sheet, int column);

// Where the married mark's box is drawn in a person-header cell: inside the
// cell and clear of its grid line.
QRect MarkBoxRect(const QRect& cell);

}  // namespace skartina
