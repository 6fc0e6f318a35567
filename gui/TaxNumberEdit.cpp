// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/TaxNumberEdit.h"

#include "registry/TaxNumberCheck.h"

#include <QKeyEvent>
#include <QToolTip>

namespace skartina {
namespace {

const QColor kInvalidBackground(255, 0, 0);
const char* const kInvalidHint = "Το ΑΦΜ που δώσατε δεν είναι σωστό";

}  // namespace

TaxNumberEdit::TaxNumberEdit(QWidget* parent) : QLineEdit(parent) { saved_ = appearance(); }

TaxNumberEdit::Appearance TaxNumberEdit::appearance() const {
    Appearance look;
    look.fontColor = palette().color(QPalette::Text);
    look.bold = font().bold();
    look.italic = font().italic();
    look.underline = font().underline();
    look.strikeOut = font().strikeOut();
    look.pointSize = font().pointSize();
    look.background = palette().color(QPalette::Base);
    look.hint = hint_;
    look.showHint = showHint_;
    return look;
}

bool TaxNumberEdit::invalidLookOn() const { return palette().color(QPalette::Base) == kInvalidBackground; }

void TaxNumberEdit::setHint(const QString& hint, bool show) {
    hint_ = hint;
    showHint_ = show;
    setToolTip(show ? hint : QString());
}

void TaxNumberEdit::apply(const Appearance& look) {
    QPalette p = palette();
    p.setColor(QPalette::Text, look.fontColor);
    p.setColor(QPalette::Base, look.background);
    setPalette(p);
    QFont f = font();
    f.setBold(look.bold);
    f.setItalic(look.italic);
    f.setUnderline(look.underline);
    f.setStrikeOut(look.strikeOut);
    if (look.pointSize > 0) f.setPointSize(look.pointSize);
    setFont(f);
    setHint(look.hint, look.showHint);
}

void TaxNumberEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (invalidLookOn())
        apply(saved_);
    else
        saved_ = appearance();
}

void TaxNumberEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    emit exited();
    if (IsValidTaxNumber(text().toStdString())) {
        apply(saved_);
        return;
    }
    Appearance invalid = saved_;
    invalid.fontColor = Qt::white;
    invalid.bold = true;
    invalid.italic = invalid.underline = invalid.strikeOut = false;
    invalid.background = kInvalidBackground;
    invalid.hint = kInvalidHint;
    invalid.showHint = true;
    apply(invalid);
}

}  // namespace skartina
