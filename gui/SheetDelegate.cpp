// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/SheetDelegate.h"

#include "sheet/SheetRows.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QCoreApplication>
#include <QPainter>
#include <QPolygon>

#include <algorithm>

namespace skartina {
namespace {

const QColor kCaptionGrey(230, 230, 230);
const QColor kTotalGrey(200, 200, 200);
// The current cell, shown alike whether its editor is open or not.
const QColor kCurrentCellBlue(210, 225, 245);

// The married mark's picture: a box, ticked or empty.
void PaintMarkBox(QPainter* p, const QRect& box, bool ticked) {
    p->save();
    p->setPen(QPen(Qt::black, 1));
    p->setBrush(Qt::white);
    p->drawRect(box);
    if (ticked) {
        p->setPen(QPen(Qt::black, 2));
        p->drawLine(box.left() + 2, box.center().y(), box.center().x() - 1, box.bottom() - 2);
        p->drawLine(box.center().x() - 1, box.bottom() - 2, box.right() - 2, box.top() + 2);
    }
    p->restore();
}

}  // namespace

namespace {
int zoomPercent = 100;
}  // namespace

int SheetZoomPercent() { return zoomPercent; }
void SetSheetZoomPercent(int percent) { zoomPercent = std::clamp(percent, 50, 300); }
int Zoomed(int pixels) { return pixels * zoomPercent / 100; }

QFont SheetFont(bool bold) {
    QFont font("Arial");
    font.setPixelSize(Zoomed(9));
    font.setBold(bold);
    return font;
}

int SheetCellTextWidth(const Sheet& sheet, int column) {
    const QFontMetrics regular(SheetFont(false));
    const QFontMetrics bold(SheetFont(true));
    int widest = 0;
    // Rows 0 and 1 hold the year and person headers, which fit a year column.
    for (int row = 2; row < sheet.rowCount(); ++row) {
        const std::string text = CellText(sheet, column, row);
        if (text.empty()) continue;
        const QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        widest = std::max(widest, (IsTotalRow(row) ? bold : regular).horizontalAdvance(shown));
    }
    // The text ends 1 pixel left of the grid line, which takes the last pixel.
    return widest == 0 ? 0 : widest + 3;
}

QRect MarkBoxRect(const QRect& cell) {
    // The picture stands 50 pixels right of the cell's left edge; its 11-pixel
    // box and outline end before the grid line of a 64-pixel column (at 100 %;
    // with the zoom, from the cell's right edge, so it clears the text).
    const int size = Zoomed(10);
    return {cell.left() + std::max(51, cell.width() - 13 * SheetZoomPercent() / 100), cell.top() + 1, size, size};
}

void SheetDelegate::paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const int row = index.row();
    const int column = index.column();
    QString text = index.data().toString();
    if (text == QString::fromUtf8(kMarriedSpouseHeader.data(), kMarriedSpouseHeader.size()))
        text = QString::fromUtf8(kSpouseHeader.data(), kSpouseHeader.size());

    const QFont font = SheetFont(IsTotalRow(row));
    QColor background = column == 0 ? kCaptionGrey : QColor(Qt::white);
    if (IsTotalRow(row)) background = kTotalGrey;

    const QRect r = option.rect;
    p->save();
    p->fillRect(r, background);
    if ((option.state & QStyle::State_HasFocus) && row >= Row::PersonHeader && column >= 1)
        p->fillRect(r, kCurrentCellBlue);
    p->setPen(QColor(192, 192, 192));
    p->drawLine(r.topRight(), r.bottomRight());
    p->drawLine(r.bottomLeft(), r.bottomRight());
    p->setFont(font);
    p->setPen(Qt::black);
    p->setClipRect(r);

    if (column == 0) {
        p->drawText(r.adjusted(1, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop, text);
    } else if (row == Row::YearHeader) {
        // The bare year, centred over the pair (the cell spans both columns of the year).
        if (IsTaxpayerColumn(column)) p->drawText(r.adjusted(0, 1, 0, 0), Qt::AlignHCenter | Qt::AlignTop, text.remove('_'));
    } else if (row == Row::PersonHeader) {
        p->drawText(r.adjusted(0, 1, 0, 0), Qt::AlignHCenter | Qt::AlignTop, text);
        const QString raw = index.data().toString();
        if (raw == QString::fromUtf8(kMarriedSpouseHeader.data(), kMarriedSpouseHeader.size()))
            PaintMarkBox(p, MarkBoxRect(r), true);
        else if (raw == QString::fromUtf8(kSpouseHeader.data(), kSpouseHeader.size()))
            PaintMarkBox(p, MarkBoxRect(r), false);
        // Spouse figures in a year not marked married: an orange corner, never the mark itself.
        if (!index.data(Qt::ToolTipRole).toString().isEmpty()) {
            const QPoint corner = r.topLeft();
            p->setPen(Qt::NoPen);
            p->setBrush(QColor(230, 120, 0));
            p->drawPolygon(QPolygon({corner, corner + QPoint(8, 0), corner + QPoint(0, 8)}));
        }
    } else {
        p->drawText(r.adjusted(0, 0, -1, 0), Qt::AlignRight | Qt::AlignTop, text);
    }
    p->restore();
}

QWidget* SheetDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const {
    auto* editor = new QLineEdit(parent);
    editor->setFont(SheetFont());
    editor->setFrame(false);
    editor->setAlignment(Qt::AlignRight);
    // The editor opens on every current cell and covers it: it carries the
    // current cell's colour, or the highlight would vanish with each move.
    QPalette palette = editor->palette();
    palette.setColor(QPalette::Base, kCurrentCellBlue);
    editor->setPalette(palette);
    const CellPos cell{index.column(), index.row()};
    // What Escape puts back: the cell follows the editor as the user types.
    editor->setProperty("before", index.data(Qt::EditRole));
    connect(editor, &QLineEdit::textEdited, this, [this, editor, cell] {
        // Told first, while the cell still holds its text from before; then
        // the cell follows the editor as the user types.
        emit textEdited(cell);
        emit const_cast<SheetDelegate*>(this)->commitData(editor);
    });
    return editor;
}

void SheetDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* line = static_cast<QLineEdit*>(editor);
    const QString text = index.data(Qt::EditRole).toString();
    if (line->text() != text) line->setText(text);
}

void SheetDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
    model->setData(index, static_cast<QLineEdit*>(editor)->text(), Qt::EditRole);
}

void SheetDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex&) const {
    editor->setGeometry(option.rect.adjusted(0, 0, -1, -1));
}

bool SheetDelegate::eventFilter(QObject* object, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit enterPressed();
            return true;
        }
        auto* line = qobject_cast<QLineEdit*>(object);
        // Escape gives up the typing: the cell gets its text back and the editor closes.
        if (line && key == Qt::Key_Escape) {
            const QString before = line->property("before").toString();
            if (line->text() != before) {
                line->setText(before);
                emit commitData(line);
            }
            emit closeEditor(line, QAbstractItemDelegate::NoHint);
            return true;
        }
        // The numeric keypad's decimal key is the decimal comma, whatever the
        // keyboard layout makes of it.
        const auto* typed = static_cast<QKeyEvent*>(event);
        if (line && (typed->modifiers() & Qt::KeypadModifier) && (key == Qt::Key_Period || key == Qt::Key_Comma) &&
            typed->text() != ",") {
            QKeyEvent comma(QEvent::KeyPress, Qt::Key_Comma, typed->modifiers(), ",");
            QCoreApplication::sendEvent(object, &comma);
            return true;
        }
        const bool plain = (static_cast<QKeyEvent*>(event)->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (line && plain && !line->hasSelectedText()) {
            if (key == Qt::Key_Right && line->cursorPosition() == line->text().size()) {
                emit stepAside(+1);
                return true;
            }
            if (key == Qt::Key_Left && line->cursorPosition() == 0) {
                emit stepAside(-1);
                return true;
            }
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

}  // namespace skartina
