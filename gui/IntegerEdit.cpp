// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/IntegerEdit.h"

#include "registry/IntEdit.h"

#include <QKeyEvent>

namespace skartina {

IntegerEdit::IntegerEdit(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, [this] {
        emit edited();
        recompute();
    });
}

void IntegerEdit::keyPressEvent(QKeyEvent* event) {
    // The clipboard shortcuts arrive as control characters and are dropped like them.
    if (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Copy) ||
        event->matches(QKeySequence::Cut) || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return;
    const QString typed = event->text();
    if (!typed.isEmpty() && typed.at(0).isPrint() && !IntEditAcceptsCharacter(typed.at(0).unicode()))
        return;
    QLineEdit::keyPressEvent(event);
}

void IntegerEdit::recompute() {
    const auto value = IntEditValue(text().toStdString());
    if (value) {
        value_ = *value;
    } else if (report_) {
        report_("Το «" + text() + "» δεν είναι έγκυρος ακέραιος αριθμός.");
    }
}

}  // namespace skartina
