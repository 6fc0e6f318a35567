// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The integer field: takes digits, "-" and Backspace, and keeps the value of
// its text.

#include <QLineEdit>
#include <QString>

#include <cstdint>
#include <functional>

namespace skartina {

// Takes digits, "-" and Backspace only, and keeps the value of its text.
class IntegerEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit IntegerEdit(QWidget* parent = nullptr);

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
