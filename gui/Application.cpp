#include "gui/Application.h"

#include "gui/Pictures.h"

#include <QApplication>
#include <QIcon>
#include <QTranslator>

static void InitGreekResource() { Q_INIT_RESOURCE(qt_greek); }

namespace skartina {

bool SetUpApplication(QApplication& app) {
    QApplication::setApplicationName(kInternalName);
    // The desktop matches the windows to the menu entry by this name, and shows
    // the installed icon; a program run from its build folder has the logo.
    QApplication::setDesktopFileName(kDesktopFileName);
    QApplication::setWindowIcon(QIcon::fromTheme(kDesktopFileName, QIcon(LogoPicture(QSize(64, 64)))));
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
