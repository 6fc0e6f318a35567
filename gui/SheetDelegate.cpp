#include "gui/SheetDelegate.h"

#include "sheet/SheetRows.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

namespace skartina {
namespace {

const QColor kCaptionGrey(230, 230, 230);
const QColor kTotalGrey(200, 200, 200);

bool IsTotalRow(int row) {
    return row == Row::YearHeader || row == Row::IncomeTotal || row == Row::ExpenseTotal ||
           row == Row::CapitalConsumptionUsed || row == Row::FinalBalance;
}

// The married mark's picture: a 19 × 13 box, ticked or empty.
void PaintMarkBox(QPainter* p, QPoint at, bool ticked) {
    const QRect box(at.x() + 3, at.y() + 1, 11, 11);
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

QFont SheetFont() {
    QFont font("Arial");
    font.setPixelSize(9);
    return font;
}

void SheetDelegate::paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const int row = index.row();
    const int column = index.column();
    QString text = index.data().toString();
    if (text == QString::fromUtf8(kMarriedSpouseHeader.data(), kMarriedSpouseHeader.size()))
        text = QString::fromUtf8(kSpouseHeader.data(), kSpouseHeader.size());

    QFont font = SheetFont();
    font.setBold(IsTotalRow(row));
    QColor background = column == 0 ? kCaptionGrey : QColor(Qt::white);
    if (IsTotalRow(row)) background = kTotalGrey;

    const QRect r = option.rect;
    p->save();
    p->fillRect(r, background);
    if ((option.state & QStyle::State_HasFocus) && row >= 2 && column >= 1) p->fillRect(r, QColor(210, 225, 245));
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
            PaintMarkBox(p, r.topLeft() + QPoint(50, 0), true);
        else if (raw == QString::fromUtf8(kSpouseHeader.data(), kSpouseHeader.size()))
            PaintMarkBox(p, r.topLeft() + QPoint(50, 0), false);
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
    const CellPos cell{index.column(), index.row()};
    connect(editor, &QLineEdit::textEdited, this, [this, editor, cell] {
        // The cell follows the editor as the user types.
        emit const_cast<SheetDelegate*>(this)->commitData(editor);
        emit textEdited(cell);
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
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

}  // namespace skartina
