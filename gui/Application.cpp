// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/Application.h"

#include "gui/Pictures.h"

#include <QApplication>
#include <QIcon>
#include <QTranslator>

static void InitGreekResource() { Q_INIT_RESOURCE(qt_greek); }

namespace skartina {
namespace {

// The installed icon at the sizes title bars and task bars draw: with its
// 256-pixel picture the window's icon property grows too large for the X
// server and no icon shows at all. The logo when the icon is not installed
// (a program run from its build folder).
QIcon ProgramIcon() {
    const QIcon installed = QIcon::fromTheme(kDesktopFileName);
    QIcon icon;
    if (!installed.isNull())
        for (const int size : {16, 24, 32, 48, 64}) icon.addPixmap(installed.pixmap(size));
    return icon.isNull() ? QIcon(LogoPicture(QSize(64, 64))) : icon;
}

}  // namespace

bool SetUpApplication(QApplication& app) {
    QApplication::setApplicationName(kInternalName);
    // The desktop matches the windows to the menu entry by this name.
    QApplication::setDesktopFileName(kDesktopFileName);
    QApplication::setWindowIcon(ProgramIcon());
    // The resource lives in a static library: name it, or the linker drops it.
    InitGreekResource();
    auto* translator = new QTranslator(&app);
    if (!translator->load(":/translations/qtbase_el.qm")) {
        delete translator;
        return false;
    }
    return QApplication::installTranslator(translator);
}

}  // namespace skartina
