// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/Application.h"

#include "gui/Pictures.h"

#include <QApplication>
#include <QIcon>
#include <QTranslator>

#include <string_view>

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

// Qt's print dialog asks for its texts under the names of its parts; the
// translation keeps them once, under QPrintDialog, for all of them.
class PrintDialogTranslator : public QTranslator {
public:
    using QTranslator::QTranslator;
    QString translate(const char* context, const char* source, const char* disambiguation, int n) const override {
        QString text = QTranslator::translate(context, source, disambiguation, n);
        if (text.isEmpty() && context && IsPrintDialogPart(context))
            text = QTranslator::translate("QPrintDialog", source, disambiguation, n);
        return text;
    }

private:
    static bool IsPrintDialogPart(std::string_view context) {
        for (std::string_view part : {"QPrintSettingsOutput", "QPrintPropertiesWidget", "QPrintWidget",
                                      "QPageSetupDialog", "QPrintPropertiesDialog", "QPPDOptionsModel",
                                      "QPageSetupWidget", "QUnixPrintWidget", "QCUPSSupport"})
            if (context == part) return true;
        return false;
    }
};

}  // namespace

bool SetUpApplication(QApplication& app) {
    QApplication::setApplicationName(kInternalName);
    // The desktop matches the windows to the menu entry by this name.
    QApplication::setDesktopFileName(kDesktopFileName);
    QApplication::setWindowIcon(ProgramIcon());
    // The resource lives in a static library: name it, or the linker drops it.
    InitGreekResource();
    auto* translator = new PrintDialogTranslator(&app);
    if (!translator->load(":/translations/qtbase_el.qm")) {
        delete translator;
        return false;
    }
    return QApplication::installTranslator(translator);
}

}  // namespace skartina
