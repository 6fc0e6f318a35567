// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tax-number field: a wrong number shows red with white bold text and a
// hint, and is never refused.

#include <QColor>
#include <QLineEdit>
#include <QString>

namespace skartina {

// Shows a bad tax number in red with white bold text and a hint; never refuses it.
class TaxNumberEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TaxNumberEdit(QWidget* parent = nullptr);

    // The look the field returns to: what it had when it was last entered.
    struct Appearance {
        QColor fontColor;
        bool bold = false, italic = false, underline = false, strikeOut = false;
        int pointSize = 0;
        QColor background;
        QString hint;
        bool showHint = false;
        bool operator==(const Appearance&) const = default;
    };
    Appearance appearance() const;
    bool invalidLookOn() const;

    // The hint and whether it shows, as a form sets them.
    void setHint(const QString& hint, bool show);

signals:
    // The form's own handling of leaving the field; runs before the marking.
    void exited();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void apply(const Appearance& look);
    Appearance saved_;
    QString hint_;
    bool showHint_ = false;
};

}  // namespace skartina
