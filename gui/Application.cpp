#include "gui/Application.h"

#include <QApplication>
#include <QTranslator>

static void InitGreekResource() { Q_INIT_RESOURCE(qt_greek); }

namespace skartina {

bool SetUpApplication(QApplication& app) {
    QApplication::setApplicationName(kInternalName);
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
