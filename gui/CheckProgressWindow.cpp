// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/CheckProgressWindow.h"

#include "startup/ProductInfo.h"
#include "gui/StatusPanels.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace skartina {

CheckProgressWindow::CheckProgressWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("checkProgressWindow");
    setWindowTitle("Ελεγχος νέων εκδόσεων ");
    setModal(false);

    titleLabel_ = new QLabel(kAppTitle, this);
    titleLabel_->setObjectName("titleLabel");
    QFont big = titleLabel_->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    titleLabel_->setFont(big);
    titleLabel_->setAlignment(Qt::AlignCenter);
    waitLabel_ = new QLabel("Παρακαλώ περιμένετε ...", this);
    waitLabel_->setObjectName("waitLabel");
    waitLabel_->setAlignment(Qt::AlignCenter);
    detailsLabel_ = new QLabel(" ", this);
    detailsLabel_->setObjectName("detailsLabel");
    detailsLabel_->setAlignment(Qt::AlignCenter);
    percentBar_ = NewPercentBar(this);
    statusPanels_ = new StatusPanels(this);
    statusPanels_->setObjectName("statusPanels");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(titleLabel_);
    layout->addWidget(waitLabel_);
    layout->addWidget(detailsLabel_);
    layout->addWidget(percentBar_);
    layout->addWidget(statusPanels_);
    setFixedSize(440, 200);
}

void CheckProgressWindow::setDetails(const QString& text) { detailsLabel_->setText(text); }

void CheckProgressWindow::setFigures(const QString& received, const QString& expected) {
    statusPanels_->setPanels(received, expected);
}

void CheckProgressWindow::setPercent(int percent) { percentBar_->setValue(percent); }

}  // namespace skartina
