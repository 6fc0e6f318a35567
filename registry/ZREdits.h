#pragma once
// The two edit fields of the register: a tax-number field that turns red when
// its number is wrong, and an integer field that keeps its numeric value.

#include <QColor>
#include <QLineEdit>
#include <QString>

#include <cstdint>
#include <functional>

namespace skartina {

// Shows a bad tax number in red with white bold text and a hint; never refuses it.
class TEditAFM : public QLineEdit {
    Q_OBJECT
public:
    explicit TEditAFM(QWidget* parent = nullptr);

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

// Takes digits, "-" and Backspace only, and keeps the value of its text.
class TEditInt : public QLineEdit {
    Q_OBJECT
public:
    explicit TEditInt(QWidget* parent = nullptr);

    int32_t Value() const { return value_; }
    // How a text that is no integer is reported; the value then stays.
    void setErrorReporter(std::function<void(const QString&)> report) { report_ = std::move(report); }

signals:
    // The form's change handling; it still sees the previous Value.
    void edited();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void recompute();
    int32_t value_ = 0;
    std::function<void(const QString&)> report_;
};

}  // namespace skartina
