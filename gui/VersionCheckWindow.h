// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The version-check window: a notice, "Έλεγχος" and "Έξοδος", and the status
// of the transfers. At start-up it runs the silent check without being shown.

#include "gui/DesktopServices.h"
#include "update/VersionCheck.h"
#include "common/HttpClient.h"

#include <QDialog>

#include <filesystem>

class QLabel;
class QProgressBar;
class QPushButton;

namespace skartina {

class StatusPanels;
class CheckProgressWindow;

// False once a downloaded installer has been started: the program ends instead of going on.
extern bool KeepRunning;
// The bytes of the update client over the whole run.
extern TransferCounters UpdateCounters;

// Asks the product host for a newer version and installs it when the user agrees.
class VersionCheckWindow : public QDialog, private VersionCheckView {
    Q_OBJECT
public:
    VersionCheckWindow(const std::filesystem::path& workDir, DesktopServices desktop, HttpClient& http,
              QWidget* parent = nullptr);
    ~VersionCheckWindow() override;

    // The check against the product web host; when it started an installer it
    // clears KeepRunning, closes this window and asks the application to quit.
    VersionCheckResult CheckForNewVersion(bool interactive);
    // The commands, as the window's buttons run them.
    void onCheckClicked();
    void onExitClicked();

    // The progress window while a check runs, else null.
    CheckProgressWindow* progressWindow() const { return progress_; }

private:
    void openProgress() override;
    void setDetails(const std::string& text) override;
    void showFigures(const ProgressFigures& figures) override;
    void pump() override;
    void closeProgress() override;

    // Each carries its role name as its objectName ("pictureLabel", "noticeLabel",
    // "firewallLabel", "checkButton", "exitButton", "statusPanels", "percentBar").
    QLabel* pictureLabel_;
    QLabel* noticeLabel_;
    QLabel* firewallLabel_;
    QPushButton* checkButton_;
    QPushButton* exitButton_;
    StatusPanels* statusPanels_;
    QProgressBar* percentBar_;

    HttpClient& http_;
    std::filesystem::path workDir_;
    DesktopServices desktop_;
    CheckProgressWindow* progress_ = nullptr;
};

}  // namespace skartina
