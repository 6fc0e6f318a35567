#include "registry/ZREdits.h"

#include "registry/AfmCheck.h"
#include "registry/IntEdit.h"

#include <QKeyEvent>
#include <QToolTip>

namespace skartina {
namespace {

const QColor kInvalidBackground(255, 0, 0);
const char* const kInvalidHint = "Το ΑΦΜ που δώσατε δεν είναι σωστό";

}  // namespace

TEditAFM::TEditAFM(QWidget* parent) : QLineEdit(parent) { saved_ = appearance(); }

TEditAFM::Appearance TEditAFM::appearance() const {
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

bool TEditAFM::invalidLookOn() const { return palette().color(QPalette::Base) == kInvalidBackground; }

void TEditAFM::setHint(const QString& hint, bool show) {
    hint_ = hint;
    showHint_ = show;
    setToolTip(show ? hint : QString());
}

void TEditAFM::apply(const Appearance& look) {
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

void TEditAFM::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (invalidLookOn())
        apply(saved_);
    else
        saved_ = appearance();
}

void TEditAFM::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    emit exited();
    if (IsValidAfm(text().toStdString())) {
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

TEditInt::TEditInt(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, [this] {
        emit edited();
        recompute();
    });
}

void TEditInt::keyPressEvent(QKeyEvent* event) {
    // The clipboard shortcuts arrive as control characters and are dropped like them.
    if (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Copy) ||
        event->matches(QKeySequence::Cut) || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return;
    const QString typed = event->text();
    if (!typed.isEmpty() && typed.at(0).isPrint() && !IntEditAcceptsCharacter(typed.at(0).unicode()))
        return;
    QLineEdit::keyPressEvent(event);
}

void TEditInt::recompute() {
    const auto value = IntEditValue(text().toStdString(), objectName().toStdString());
    if (value) {
        value_ = *value;
    } else if (report_) {
        report_("Το «" + text() + "» δεν είναι έγκυρος ακέραιος αριθμός.");
    }
}

}  // namespace skartina
