// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The start-up sequence from preparing the main window to showing it.

#include "gui/DesktopServices.h"
#include "common/HttpClient.h"

#include <filesystem>

namespace skartina {

class MainWindow;

// Prepares the main window, runs the silent version check unless
// "Autocheck21.ini" exists (only its progress window shows), then shows the
// main window. Returns KeepRunning: false when the check started an installer,
// and the main window is then never shown.
bool StartMainWindow(MainWindow& main, const std::filesystem::path& workDir, DesktopServices desktop, HttpClient& http);

}  // namespace skartina
