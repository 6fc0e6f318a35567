#pragma once
// What a window needs of the desktop besides itself: asking the user, and
// opening a file or a web address with the desktop's program for it. Tests
// pass doubles.

#include "update/VersionCheck.h"
#include "common/Prompter.h"

#include <QString>

class QWidget;

#include <functional>
#include <string>

namespace skartina {

// What a command that this edition does not offer yet tells the user.
inline const std::string kNotAvailableYetMessage = "Η λειτουργία αυτή δεν είναι ακόμη διαθέσιμη.";

// Opens a file path or a web address; false when the desktop could not.
using DesktopOpener = std::function<bool(const QString& fileOrUrl)>;

struct DesktopServices {
    Prompter* prompter = nullptr;
    DesktopOpener open;
    ProgramStarter start = {};  // a downloaded installer
};

// Message boxes with the application title, Yes/No for questions.
class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}
    void inform(const std::string& text) override;
    bool confirm(const std::string& text) override;

private:
    QWidget* parent_;
};

// The desktop's own: QDesktopServices for files (by path) and addresses (by URL).
bool OpenWithDesktop(const QString& fileOrUrl);

// Starts the program in its own process and does not wait for it.
void StartDetached(const std::filesystem::path& program);

}  // namespace skartina
