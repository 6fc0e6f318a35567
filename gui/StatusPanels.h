// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A status bar of two text panels side by side, as the windows of the version
// check carry.

#include <QStatusBar>

#include <array>

class QLabel;
class QProgressBar;

namespace skartina {

class StatusPanels : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusPanels(QWidget* parent = nullptr);
    void setPanels(const QString& first, const QString& second);
    QString panel(int index) const;

private:
    std::array<QLabel*, 2> panels_;
};

// The progress bar beside the panels ("percentBar"): a percentage, empty at first.
QProgressBar* NewPercentBar(QWidget* parent);

}  // namespace skartina
