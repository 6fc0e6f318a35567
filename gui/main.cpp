// ΣΚΑΡΤΙΝΑ: the program's entry and its start-up sequence.

#include "gui/Application.h"
#include "gui/DesktopServices.h"
#include "startup/DataFolder.h"
#include "startup/ProductInfo.h"
#include "startup/VersionLine.h"
#include "gui/StartUp.h"
#include "gui/MainWindow.h"

#include <CLI/CLI.hpp>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>

namespace {

bool HasDisplay() {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        if (const char* value = std::getenv(name); value && *value) return true;
    return false;
}

// --help and --version, answered before anything needs a display; nullopt
// when the program goes on. Qt's own switches (-platform, -style, ...) are left to it.
std::optional<int> AnswerCommandLine(int argc, char** argv) {
    CLI::App options(std::string(skartina::kAppTitle) +
                         ": η ανάλωση κεφαλαίου των πελατών ανά έτος, από τις δηλώσεις Ε1. Ανοίγει σε επιφάνεια "
                         "εργασίας και δουλεύει στον φάκελο από τον οποίο ξεκινά (Tables και αρχεία ρυθμίσεων).",
                     "skartina");
    options.set_help_flag("-h,--help", "αυτό το μήνυμα");
    options.set_version_flag("--version", skartina::VersionLine("skartina"));
    options.get_formatter()->label("Usage", "χρήση");
    options.get_formatter()->label("OPTIONS", "ΕΠΙΛΟΓΕΣ");
    options.get_formatter()->label("Options", "Επιλογές");
    options.allow_extras();
    try {
        options.parse(argc, argv);
    } catch (const CLI::ParseError& answered) {  // --help or --version
        return options.exit(answered);
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace skartina;
    if (const std::optional<int> status = AnswerCommandLine(argc, argv)) return *status;
    if (!HasDisplay()) {
        std::cerr << "ΣΚΑΡΤΙΝΑ: δεν βρέθηκε γραφικό περιβάλλον (DISPLAY). Το πρόγραμμα ανοίγει σε επιφάνεια "
                     "εργασίας· σε μηχάνημα χωρίς οθόνη χρησιμοποιήστε το skartina-cli ή το xvfb-run.\n";
        return 1;
    }
    QElapsedTimer sinceStart;
    sinceStart.start();

    QApplication app(argc, argv);
    SetUpApplication(app);

    // The data folder becomes the current folder before anything reads or
    // writes a file: "Tables", the settings markers and "Upgrade" are all
    // named from it. A start from the menu has no terminal, so a refusal is
    // shown in a window too.
    std::filesystem::path workDir;
    try {
        workDir = EnterDataFolder({}).folder;
    } catch (const DataFolderError& e) {
        std::cerr << "ΣΚΑΡΤΙΝΑ: " << e.what() << "\n";
        QMessageBox::critical(nullptr, kAppTitle, QString::fromStdString(e.what()));
        return 1;
    }

    QtPrompter prompter;
    const auto http = MakeCurlHttpClient();
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
