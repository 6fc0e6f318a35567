// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The office run's window: which clients (all, those ticked, those whose
// sheet lacks a year), which years, whose login (the accountant's once, or
// each client's own), then the run with its progress — client N of M, the
// client's name and year, the time gone and the time left — and "Ακύρωση",
// which ends the run after the step in hand and logs out. An unfinished run
// found in its journal is offered to go on. At the end the summary and the
// report's file are shown.

#include <QDialog>
#include <QElapsedTimer>

#include <filesystem>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace skartina {

class Browser;
class PumpClock;
struct OfficeJournal;
struct OfficeProgress;

class OfficeRunWindow : public QDialog {
    Q_OBJECT
public:
    OfficeRunWindow(const std::filesystem::path& workDir, QWidget* parent = nullptr);
    ~OfficeRunWindow() override;

    // Where the run stands (shown while it goes; also called by the run's view).
    void ShowProgress(const OfficeProgress& progress);
    bool cancelRequested() const { return cancelRequested_; }
    void onStartClicked();

protected:
    // Closing while the run goes is a cancel: it stops after the step in hand and logs out.
    void reject() override;

private:
    void fillClients();
    void onChoiceChanged();
    // The run's plan from the window's choice; nothing (the user told why) when it cannot run.
    std::unique_ptr<OfficeJournal> planFromChoice();
    void setChoiceEnabled(bool enabled);
    Browser& portalBrowser();

    std::filesystem::path workDir_;
    std::unique_ptr<OfficeJournal> unfinished_;  // the journal of a run not finished
    // Each carries its role name as its objectName.
    QCheckBox* resumeBox_;          // go on with the unfinished run
    QRadioButton* allClientsButton_;
    QRadioButton* tickedClientsButton_;
    QRadioButton* lackingClientsButton_;
    QListWidget* clientList_;
    QSpinBox* firstYearEdit_;
    QSpinBox* lastYearEdit_;
    QCheckBox* accountantBox_;
    QLineEdit* portalUserEdit_;
    QLineEdit* portalPasswordEdit_;
    QSpinBox* extraWaitEdit_;
    QLabel* clientLabel_;           // "Πελάτης N από M: ..."
    QLabel* timeLabel_;             // the time gone and left
    QProgressBar* clientsBar_;
    QPlainTextEdit* runSummary_;
    QPushButton* startButton_;
    QPushButton* cancelButton_;
    QPushButton* closeButton_;

    bool running_ = false;
    bool cancelRequested_ = false;
    std::unique_ptr<PumpClock> clock_;
    std::unique_ptr<Browser> browser_;
};

}  // namespace skartina
