// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/StartUp.h"

#include "startup/Settings.h"
#include "gui/MainWindow.h"
#include "gui/VersionCheckWindow.h"

namespace skartina {

bool StartMainWindow(MainWindow& main, const std::filesystem::path& workDir, DesktopServices desktop, HttpClient& http) {
    KeepRunning = true;
    main.PrepareMainWindow();
    if (AutoCheckEnabled(workDir)) {
        VersionCheckWindow check(workDir, std::move(desktop), http);  // never shown: it lends the check its client and panels
        check.CheckForNewVersion(false);
    }
    if (!KeepRunning) return false;
    main.showMaximized();
    return true;
}

}  // namespace skartina
