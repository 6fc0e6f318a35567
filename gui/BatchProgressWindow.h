// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The progress of a run of many years: the year in hand, "N από M", the
// elapsed time, a progress bar of the years ended, and "Ακύρωση", which asks
// the run to stop after the step in hand.

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace skartina {

struct BatchProgress;

class BatchProgressWindow : public QDialog {
    Q_OBJECT
public:
    BatchProgressWindow(int total, QWidget* parent);

    // A year begins.
    void ShowProgress(const BatchProgress& progress);
    // A year has ended.
    void YearEnded();
    bool cancelRequested() const { return cancelRequested_; }
    // Closing the window is a cancel: the run stops and logs out first.
    void reject() override;

signals:
    // "Ακύρωση", or the window closed: once.
    void cancelled();


private:
    void showElapsed();

    // Each carries its role name as its objectName ("yearLabel", "countLabel",
    // "elapsedLabel", "yearsBar", "cancelButton").
    QLabel* yearLabel_;
    QLabel* countLabel_;
    QLabel* elapsedLabel_;
    QProgressBar* yearsBar_;
    QPushButton* cancelButton_;

    QElapsedTimer elapsed_;
    QTimer* ticker_;
    bool cancelRequested_ = false;
};

}  // namespace skartina
