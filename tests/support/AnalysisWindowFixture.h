// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An analysis window shown and active in a folder of its own, as the window
// tests start it.

#include "gui/AnalysisWindow.h"
#include "gui/SheetView.h"
#include "support/GuiTestSupport.h"

#include <QApplication>

namespace skartina::test {

struct ShownAnalysisWindow {
    ShownAnalysisWindow() {
        window.show();
        window.activateWindow();
        QApplication::processEvents();
    }
    TempDir dir;
    FakeDesktop desktop;
    AnalysisWindow window{dir.path(), desktop.services()};
    SheetView* grid() { return Find<SheetView>(window, "sheetView"); }
};

}  // namespace skartina::test
