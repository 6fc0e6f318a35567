#pragma once
// How the sheet's grid paints its cells and edits amounts.

#include "sheet/HandEntry.h"

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

protected:
    bool eventFilter(QObject* object, QEvent* event) override;
};

// The grid's font: Arial with a character height of 9 pixels.
QFont SheetFont();

}  // namespace skartina
