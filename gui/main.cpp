// SPDX-License-Identifier: GPL-3.0-or-later
// ΣΚΑΡΤΙΝΑ: the program's entry and its start-up sequence.

#include "gui/Application.h"
#include "gui/DesktopServices.h"
#include "startup/DataFolder.h"
#include "startup/OptionMessages.h"
#include "startup/ProductInfo.h"
#include "startup/VersionLine.h"
#include "gui/StartUp.h"
#include "gui/MainWindow.h"
#include "gui/SingleProgram.h"

#include <CLI/CLI.hpp>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

bool HasDisplay() {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        if (const char* value = std::getenv(name); value && *value) return true;
    return false;
}

// What the command line asks for. Qt's own switches (-platform, -style, ...)
// are left to it.
struct CommandLine {
    std::optional<int> answered;       // --help, --version or a wrong option: the exit status
    std::filesystem::path dataFolder;  // --data-dir; empty when not given
};

// The words of the command line that are not Qt's own switches (with their
// values): "-platform offscreen", "-style fusion", "-reverse" and the like.
std::vector<std::string> NotQtOptions(const std::vector<std::string>& words) {
    static const std::set<std::string> withValue = {"-platform", "-platformpluginpath", "-platformtheme", "-plugin",
                                                    "-style", "-stylesheet", "-session", "-display", "-geometry",
                                                    "-qwindowgeometry", "-qwindowicon", "-qwindowtitle", "-name",
                                                    "-title", "-fontengine"};
    static const std::set<std::string> alone = {"-reverse", "-widgetcount", "-nograb", "-dograb", "-sync", "-visual"};
    std::vector<std::string> unknown;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        const std::string name = word.substr(0, word.find('='));
        if (withValue.count(name)) {
            if (name == word) ++i;  // its value follows
        } else if (!alone.count(word) && !word.starts_with("-qmljsdebugger=")) {
            unknown.push_back(word);
        }
    }
    return unknown;
}

// Read before anything needs a display, so that --help and --version answer
// on any terminal.
CommandLine ReadCommandLine(int argc, char** argv) {
    CLI::App options(std::string(skartina::kAppTitle) +
                         ": η ανάλωση κεφαλαίου των πελατών ανά έτος, από τις δηλώσεις Ε1. Ανοίγει σε επιφάνεια "
                         "εργασίας και δουλεύει στον φάκελο δεδομένων (Tables, αρχεία ρυθμίσεων, Upgrade): "
                         "τον φάκελο του --data-dir· αλλιώς τον τρέχοντα φάκελο, όταν περιέχει ήδη το Tables· "
                         "αλλιώς τον ~/" + skartina::kHomeDataFolderName + ", που δημιουργείται στην πρώτη εκκίνηση.",
                     "skartina");
    options.option_defaults()->group("Επιλογές");
    options.set_help_flag("-h,--help", "αυτό το μήνυμα")->group("Επιλογές");
    options.set_version_flag("--version", skartina::VersionLine("skartina"), "η έκδοση")->group("Επιλογές");
    std::string dataFolder;
    options.add_option("--data-dir", dataFolder,
                       "ο φάκελος δεδομένων· δημιουργείται, μόνο για τον χρήστη, όταν λείπει")
        ->type_name("DIR")
        ->check([](const std::string& folder) { return folder.empty() ? "κενό όνομα φακέλου" : ""; });
    options.get_formatter()->label("Usage", "χρήση");
    options.get_formatter()->label("OPTIONS", "ΕΠΙΛΟΓΕΣ");
    options.get_formatter()->label("Options", "Επιλογές");
    // Qt's own switches pass; anything else is refused, as skartina-cli does.
    options.allow_extras();
    try {
        options.parse(argc, argv);
        const std::vector<std::string> unknown = NotQtOptions(options.remaining());
        if (!unknown.empty()) throw CLI::ExtrasError(unknown);
    } catch (const CLI::Success& answered) {  // --help, --version
        return {options.exit(answered), {}};
    } catch (const CLI::ParseError& error) {
        std::cerr << "skartina: " << skartina::ParserMessage(error, NotQtOptions(options.remaining()), &options)
                  << " (δείτε: skartina --help)\n";
        return {2, {}};
    }
    return {std::nullopt, dataFolder};
}

}  // namespace

int main(int argc, char** argv) {
    using namespace skartina;
    const CommandLine commandLine = ReadCommandLine(argc, argv);
    if (commandLine.answered) return *commandLine.answered;
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
        workDir = EnterDataFolder(commandLine.dataFolder).folder;
    } catch (const DataFolderError& e) {
        std::cerr << "ΣΚΑΡΤΙΝΑ: " << e.what() << "\n";
        QMessageBox::critical(nullptr, kAppTitle, QString::fromStdString(e.what()));
        return 1;
    }

    // One program per data folder: a second start brings the first window forward.
    SingleProgram single;
    std::string told;
    SingleProgram::Start start = SingleProgram::Start::Refused;
    try {
        start = single.claim(workDir, told);
    } catch (const std::exception& e) {
        told = e.what();
    }
    switch (start) {
    case SingleProgram::Start::First:
        break;
    case SingleProgram::Start::WindowCalled:
        std::cerr << "ΣΚΑΡΤΙΝΑ: " << told << "\n";
        return 0;
    case SingleProgram::Start::Refused:
        std::cerr << "ΣΚΑΡΤΙΝΑ: " << told << "\n";
        QMessageBox::warning(nullptr, kAppTitle, QString::fromStdString(told));
        return 1;
    }

    QtPrompter prompter;
    const auto http = MakeCurlHttpClient();
    const DesktopServices desktop{&prompter, [](const QString& what) { return OpenWithDesktop(what); }, StartDetached,
                                  InstallWithPkexec};
    MainWindow main(workDir, desktop, *http);
    single.onCalled = [&main] {
        // The window in use comes forward: an open dialog over the main window, else the main window.
        QWidget* shown = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : &main;
        if (shown->isMinimized()) shown->showNormal();
        shown->raise();
        shown->activateWindow();
    };
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
