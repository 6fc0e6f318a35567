// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the portal's browser opens: beside the program's window, never over
// the window that shows a retrieval's progress and its Cancel.

#include "portal/Browser.h"

class QWidget;

namespace skartina {

// Beside the window where there is room, else on the other half of the screen.
ScreenRect BrowserPlaceBeside(const QWidget& window);

// The same, after moving a window that leaves no room on either side to the
// screen's left edge, when that makes room.
ScreenRect MakeRoomForBrowser(QWidget& window);

}  // namespace skartina
