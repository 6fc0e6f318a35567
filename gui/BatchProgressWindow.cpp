// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/BatchProgressWindow.h"

#include "portal/BatchRetrieval.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace skartina {

BatchProgressWindow::BatchProgressWindow(int total, QWidget* parent) : QDialog(parent) {
    setObjectName("batchProgressWindow");
    setWindowTitle(QString::fromStdString(kBatchButtonCaption));
    // Not modal: the analysis window's own close button must still reach it
    // (to ask whether to cancel the run); its commands are disabled meanwhile.
    setWindowModality(Qt::NonModal);
    setMinimumWidth(360);

    yearLabel_ = new QLabel("Σύνδεση με την Α.Α.Δ.Ε....", this);
    yearLabel_->setObjectName("yearLabel");
    countLabel_ = new QLabel(QString("0 από %1").arg(total), this);
    countLabel_->setObjectName("countLabel");
    elapsedLabel_ = new QLabel("Χρόνος: 0:00", this);
    elapsedLabel_->setObjectName("elapsedLabel");
    yearsBar_ = new QProgressBar(this);
    yearsBar_->setObjectName("yearsBar");
    yearsBar_->setRange(0, total);
    yearsBar_->setValue(0);
    cancelButton_ = new QPushButton("Ακύρωση", this);
    cancelButton_->setObjectName("cancelButton");
    connect(cancelButton_, &QPushButton::clicked, this, [this] { reject(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(yearLabel_);
    layout->addWidget(countLabel_);
    layout->addWidget(yearsBar_);
    layout->addWidget(elapsedLabel_);
    layout->addWidget(cancelButton_, 0, Qt::AlignRight);

    elapsed_.start();
    ticker_ = new QTimer(this);
    connect(ticker_, &QTimer::timeout, this, &BatchProgressWindow::showElapsed);
    ticker_->start(250);
}

void BatchProgressWindow::ShowProgress(const BatchProgress& progress) {
    yearLabel_->setText(QString("Έτος %1").arg(progress.year));
    countLabel_->setText(QString("%1 από %2").arg(progress.position).arg(progress.total));
    yearsBar_->setValue(progress.done);
    showElapsed();
    // Back on top (without the focus) after a click on the analysis window or a question hid it: Cancel stays in reach.
    if (isVisible()) raise();
}

void BatchProgressWindow::YearEnded() { yearsBar_->setValue(yearsBar_->value() + 1); }

void BatchProgressWindow::reject() {
    if (cancelRequested_) return;
    cancelRequested_ = true;
    cancelButton_->setEnabled(false);
    yearLabel_->setText(yearLabel_->text() + " — ακύρωση, αποσύνδεση από την Α.Α.Δ.Ε....");
    emit cancelled();
}

void BatchProgressWindow::showElapsed() {
    const qint64 seconds = elapsed_.elapsed() / 1000;
    elapsedLabel_->setText(QString("Χρόνος: %1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar('0')));
}

}  // namespace skartina
