#include "gui/BatchProgressWindow.h"

#include "portal/BatchRetrieval.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace skartina {

BatchProgressWindow::BatchProgressWindow(int total, QWidget* parent) : QDialog(parent) {
    setObjectName("fiBatchProgress");
    setWindowTitle(QString::fromStdString(kBatchButtonCaption));
    setWindowModality(Qt::WindowModal);
    setMinimumWidth(360);

    lbYear = new QLabel("Σύνδεση με την Α.Α.Δ.Ε....", this);
    lbYear->setObjectName("lbYear");
    lbCount = new QLabel(QString("0 από %1").arg(total), this);
    lbCount->setObjectName("lbCount");
    lbElapsed = new QLabel("Χρόνος: 0:00", this);
    lbElapsed->setObjectName("lbElapsed");
    pbYears = new QProgressBar(this);
    pbYears->setObjectName("pbYears");
    pbYears->setRange(0, total);
    pbYears->setValue(0);
    btCancel = new QPushButton("Ακύρωση", this);
    btCancel->setObjectName("btCancel");
    connect(btCancel, &QPushButton::clicked, this, [this] { reject(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbYear);
    layout->addWidget(lbCount);
    layout->addWidget(pbYears);
    layout->addWidget(lbElapsed);
    layout->addWidget(btCancel, 0, Qt::AlignRight);

    elapsed_.start();
    ticker_ = new QTimer(this);
    connect(ticker_, &QTimer::timeout, this, &BatchProgressWindow::showElapsed);
    ticker_->start(250);
}

void BatchProgressWindow::ShowProgress(const BatchProgress& progress) {
    lbYear->setText(QString("Έτος %1").arg(progress.year));
    lbCount->setText(QString("%1 από %2").arg(progress.position).arg(progress.total));
    pbYears->setValue(progress.done);
    showElapsed();
}

void BatchProgressWindow::YearEnded() { pbYears->setValue(pbYears->value() + 1); }

void BatchProgressWindow::reject() {
    if (cancelRequested_) return;
    cancelRequested_ = true;
    btCancel->setEnabled(false);
    lbYear->setText(lbYear->text() + " — ακύρωση, αποσύνδεση από την Α.Α.Δ.Ε....");
}

void BatchProgressWindow::showElapsed() {
    const qint64 seconds = elapsed_.elapsed() / 1000;
    lbElapsed->setText(QString("Χρόνος: %1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar('0')));
}

}  // namespace skartina
