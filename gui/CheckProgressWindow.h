// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The small window shown, without blocking, while a version check runs.

#include <QDialog>

class QLabel;
class QProgressBar;

namespace skartina {

class StatusPanels;

// Progress of a running version check: what it does and how many bytes arrived.
class CheckProgressWindow : public QDialog {
    Q_OBJECT
public:
    explicit CheckProgressWindow(QWidget* parent = nullptr);

    // What the check does now.
    void setDetails(const QString& text);
    // The bytes received and expected, in the two status panels.
    void setFigures(const QString& received, const QString& expected);
    void setPercent(int percent);

private:
    // Each carries its role name as its objectName ("titleLabel", "waitLabel",
    // "detailsLabel", "statusPanels", "percentBar").
    QLabel* titleLabel_;
    QLabel* waitLabel_;
    QLabel* detailsLabel_;
    StatusPanels* statusPanels_;
    QProgressBar* percentBar_;
};

}  // namespace skartina
