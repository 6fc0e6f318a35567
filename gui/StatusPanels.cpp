// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/StatusPanels.h"

#include <QLabel>
#include <QProgressBar>

namespace skartina {

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(false);
    for (QLabel*& p : panels_) {
        p = new QLabel(this);
        addWidget(p, 1);
    }
}

void StatusPanels::setPanels(const QString& first, const QString& second) {
    panels_[0]->setText(first);
    panels_[1]->setText(second);
}

QString StatusPanels::panel(int index) const { return panels_.at(static_cast<size_t>(index))->text(); }

QProgressBar* NewPercentBar(QWidget* parent) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName("percentBar");
    bar->setRange(0, 100);
    bar->setValue(0);
    return bar;
}

}  // namespace skartina
