#include "app/StatusPanels.h"

#include <QLabel>

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

}  // namespace skartina
