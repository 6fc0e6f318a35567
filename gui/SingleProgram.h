// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One program per data folder. The first start holds the folder's lock for
// its whole run and listens on a socket of the user's; a later start on the
// same folder asks it to bring its window forward and ends, told why. While a
// command of skartina-cli writes in the folder the program does not start.

#include "common/DataFolderLock.h"

#include <QObject>
#include <QString>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

class QLocalServer;

namespace skartina {

// How the program's window names itself in the lock file.
inline const std::string kWindowHolder = "το παράθυρο του ΣΚΑΡΤΙΝΑ";

class SingleProgram : public QObject {
public:
    enum class Start {
        First,         // this start holds the folder
        WindowCalled,  // another window holds it and was asked to come forward
        Refused,       // a command (or a window that did not answer) holds it
    };

    // Takes the data folder (an absolute path). `told` receives the sentence
    // for the user when the start is not the first.
    Start claim(const std::filesystem::path& folder, std::string& told);

    // Called, on the first start, when a later one asks for the window.
    std::function<void()> onCalled;

    // The socket's name for a folder: the user's and the folder's own.
    static QString ServerName(const std::filesystem::path& folder);

private:
    std::optional<DataFolderLock> lock_;
    QLocalServer* server_ = nullptr;
};

}  // namespace skartina
