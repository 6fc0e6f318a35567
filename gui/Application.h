// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the program sets on its Qt application before any window opens.

class QApplication;

namespace skartina {

// The program's internal name, its menu entry and icon, and Qt's own texts that the windows show
// (message box buttons, the edit fields' context menu) in Greek from the
// translation built into the program. No display name is set: the toolkit
// would append it to every window's caption. False when the Greek texts are
// missing from the program.
bool SetUpApplication(QApplication& app);

// The name the program gives Qt; no caption shows it.
inline constexpr const char* kInternalName = "skartina";
// The name of its menu entry and icon (packaging/).
inline constexpr const char* kDesktopFileName = "gr.skartina.skartina";

}  // namespace skartina
