// ΣΚΑΡΤΙΝΑ: the program's entry and its start-up sequence.

#include "gui/DesktopServices.h"
#include "startup/ProductInfo.h"
#include "gui/StartUp.h"
#include "gui/MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <iostream>

namespace {

bool HasDisplay() {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        if (const char* value = std::getenv(name); value && *value) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace skartina;
    if (!HasDisplay()) {
        std::cerr << "ΣΚΑΡΤΙΝΑ: δεν βρέθηκε γραφικό περιβάλλον (DISPLAY). Το πρόγραμμα ανοίγει σε επιφάνεια "
                     "εργασίας· σε μηχάνημα χωρίς οθόνη χρησιμοποιήστε το skartina-cli ή το xvfb-run.\n";
        return 1;
    }
    QElapsedTimer sinceStart;
    sinceStart.start();

    QApplication app(argc, argv);
    QApplication::setApplicationName(kAppTitle);
    QApplication::setApplicationDisplayName(kAppTitle);

    QtPrompter prompter;
    const auto http = MakeCurlHttpClient();
    const auto workDir = std::filesystem::current_path();
    const DesktopServices desktop{&prompter, OpenWithDesktop, StartDetached};
    MainWindow main(workDir, desktop, *http);
    if (!StartMainWindow(main, workDir, desktop, *http)) return 0;  // an installer takes over

    // SKARTINA_QUIT_WHEN_SHOWN reports the time to a shown main window and ends (start-up measurement).
    if (std::getenv("SKARTINA_QUIT_WHEN_SHOWN")) {
        QTimer::singleShot(0, &app, [&] {
            std::cout << "main window shown after " << sinceStart.elapsed() << " ms\n";
            QApplication::quit();
        });
    }
    return QApplication::exec();
}
