// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a window needs of the desktop besides itself: asking the user, and
// opening a file or a web address with the desktop's program for it. Tests
// pass doubles.

#include "update/VersionCheck.h"
#include "common/Prompter.h"

#include <QString>

class QWidget;

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace skartina {

// Opens a file path or a web address; false when the desktop could not.
using DesktopOpener = std::function<bool(const QString& fileOrUrl)>;

struct DesktopServices {
    Prompter* prompter = nullptr;
    DesktopOpener open;
    ProgramStarter start = {};  // a downloaded installer (Windows)
    PackageInstaller install = {};  // a downloaded Debian package
    UpdateKind updateKind = kThisSystemUpdate;
};

// Message boxes with the application title, Yes/No for questions.
class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}
    void inform(const std::string& text) override;
    void report(const std::string& text) override;
    bool confirm(const std::string& text) override;
    bool offer(const std::string& text) override;
    Answer ask(const std::string& text) override;
    EachAnswer askEach(const std::string& text) override;
    int choose(const std::string& text, const std::vector<std::string>& buttons) override;

private:
    QWidget* parent_;
};

// The desktop's own opener (xdg-open) for files (by path) and addresses (by
// URL). False when there is none or it reports within a few seconds that it
// found no program. An opener still busy then is watched on: when it fails
// later, `lateFailure` is called with the sentence that tells it (the
// program's own opener shows it in a message).
bool OpenWithDesktop(const QString& fileOrUrl, std::function<void(const std::string&)> lateFailure);
bool OpenWithDesktop(const QString& fileOrUrl);

// The sentence for a file or address the desktop did not open.
std::string NotOpenedSentence(const QString& fileOrUrl);

// After a file was written: its full path in a message with "Άνοιγμα",
// "Άνοιγμα φακέλου" and "Κλείσιμο"; the file or its folder opened when asked,
// and an opener that fails told.
void TellWrittenFile(const DesktopServices& desktop, const std::filesystem::path& file);

// Starts the program in its own process and does not wait for it.
void StartDetached(const std::filesystem::path& program);

// Starts "pkexec apt-get install --yes PACKAGE" without waiting; false when
// there is no pkexec or no desktop to ask for the password on.
bool InstallWithPkexec(const std::filesystem::path& package);

}  // namespace skartina
