// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/DesktopServices.h"

#include "startup/ProductInfo.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <QEventLoop>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

namespace {

// How long the opener may take to say whether it found a program.
constexpr int kOpenerWaitMs = 3000;

// A message shown while a retrieval holds the keyboard (so that typing reaches
// neither the sheet nor the browser) has the keyboard for as long as it is open.
class KeyboardLent {
public:
    KeyboardLent() : holder_(QWidget::keyboardGrabber()) {
        if (holder_) holder_->releaseKeyboard();
    }
    ~KeyboardLent() {
        if (holder_) holder_->grabKeyboard();
    }
    KeyboardLent(const KeyboardLent&) = delete;
    KeyboardLent& operator=(const KeyboardLent&) = delete;

private:
    QPointer<QWidget> holder_;
};

}  // namespace

namespace skartina {

void QtPrompter::inform(const std::string& text) {
    const KeyboardLent keyboard;
    QMessageBox::information(parent_, kAppTitle, QString::fromStdString(text));
}

void QtPrompter::report(const std::string& text) {
    const KeyboardLent keyboard;
    // A message box grows with its text past the screen's edge; this window
    // fits the screen and scrolls.
    QDialog dialog(parent_);
    dialog.setObjectName("summaryWindow");
    dialog.setWindowTitle(kAppTitle);
    auto* view = new QPlainTextEdit(QString::fromStdString(text), &dialog);
    view->setObjectName("summaryText");
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(view);
    layout->addWidget(buttons);
    const QScreen* screen = parent_ && parent_->screen() ? parent_->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QFontMetrics metrics(view->font());
    const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 2;
    const int height = std::min(lines * metrics.lineSpacing() + 120, area.height() * 4 / 5);
    dialog.resize(std::min(760, area.width() * 9 / 10), std::max(200, height));
    dialog.exec();
}

bool QtPrompter::confirm(const std::string& text) {
    const KeyboardLent keyboard;
    return QMessageBox::question(parent_, kAppTitle, QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

bool QtPrompter::offer(const std::string& text) {
    const KeyboardLent keyboard;
    return QMessageBox::question(parent_, kAppTitle, QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

Prompter::Answer QtPrompter::ask(const std::string& text) {
    const KeyboardLent keyboard;
    switch (QMessageBox::question(parent_, kAppTitle, QString::fromStdString(text),
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

Prompter::EachAnswer QtPrompter::askEach(const std::string& text) {
    const KeyboardLent keyboard;
    QMessageBox box(QMessageBox::Question, kAppTitle, QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No,
                    parent_);
    box.setDefaultButton(QMessageBox::No);
    auto* forAll = new QCheckBox("για όλα", &box);
    forAll->setObjectName("forAllBox");
    box.setCheckBox(forAll);
    const bool yes = box.exec() == QMessageBox::Yes;
    return {yes, forAll->isChecked()};
}

int QtPrompter::choose(const std::string& text, const std::vector<std::string>& buttons) {
    const KeyboardLent keyboard;
    QMessageBox box(QMessageBox::Information, kAppTitle, QString::fromStdString(text), QMessageBox::NoButton, parent_);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);  // the path can be copied
    std::vector<QPushButton*> added;
    for (const std::string& caption : buttons)
        added.push_back(box.addButton(QString::fromStdString(caption), QMessageBox::AcceptRole));
    if (!added.empty()) {
        box.setDefaultButton(added.back());
        box.setEscapeButton(added.back());
    }
    box.exec();
    const auto pressed = std::find(added.begin(), added.end(), box.clickedButton());
    return pressed == added.end() ? -1 : static_cast<int>(pressed - added.begin());
}

std::string NotOpenedSentence(const QString& fileOrUrl) {
    return "Το «" + fileOrUrl.toStdString() +
           "» δεν άνοιξε: η επιφάνεια εργασίας δεν βρήκε πρόγραμμα για να το ανοίξει (xdg-open).";
}

void TellWrittenFile(const DesktopServices& desktop, const std::filesystem::path& file) {
    const std::filesystem::path full = std::filesystem::absolute(file);
    const int chosen =
        desktop.prompter->choose("Το αρχείο γράφτηκε: " + full.string(), {"Άνοιγμα", "Άνοιγμα φακέλου", "Κλείσιμο"});
    if (chosen != 0 && chosen != 1) return;
    const QString target = QString::fromStdString((chosen == 0 ? full : full.parent_path()).string());
    if (!desktop.open(target)) desktop.prompter->inform(NotOpenedSentence(target));
}

bool OpenWithDesktop(const QString& fileOrUrl) {
    return OpenWithDesktop(fileOrUrl, [](const std::string& sentence) {
        // Told without blocking: the user has long moved on. A program that is ending tells nothing.
        if (QCoreApplication::closingDown() || !qobject_cast<QApplication*>(QCoreApplication::instance())) return;
        auto* box = new QMessageBox(QMessageBox::Warning, kAppTitle, QString::fromStdString(sentence), QMessageBox::Ok,
                                    QApplication::activeWindow());
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setObjectName("notOpenedMessage");
        box->show();
    });
}

bool OpenWithDesktop(const QString& fileOrUrl, std::function<void(const std::string&)> lateFailure) {
    // QDesktopServices counts a started xdg-open as success, even when it then
    // finds no program for the file; its exit status tells.
    const QString opener = QStandardPaths::findExecutable("xdg-open");
    if (opener.isEmpty()) return false;
    const QString target = fileOrUrl.contains("://") ? fileOrUrl : QFileInfo(fileOrUrl).absoluteFilePath();
    auto* process = new QProcess(qApp);
    process->start(opener, {target});
    if (!process->waitForStarted()) {
        delete process;
        return false;
    }
    // Some openers wait for the program they start; one still running has
    // found its program. Meanwhile the windows repaint but take no input.
    if (process->state() != QProcess::NotRunning) {
        QEventLoop wait;
        QObject::connect(process, &QProcess::finished, &wait, &QEventLoop::quit);
        QTimer::singleShot(kOpenerWaitMs, &wait, &QEventLoop::quit);
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (process->state() != QProcess::NotRunning) {
        // Still busy: it may yet fail (a program it starts that gives up), and that is told then.
        QObject::connect(process, &QProcess::finished, process,
                         [process, target, lateFailure](int code, QProcess::ExitStatus status) {
                             if (status == QProcess::NormalExit && code != 0 && lateFailure)
                                 lateFailure(NotOpenedSentence(target));
                             process->deleteLater();
                         });
        return true;
    }
    const bool opened = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    delete process;
    return opened;
}

void StartDetached(const std::filesystem::path& program) {
    QProcess::startDetached(QString::fromStdString(program.string()), {});
}

bool InstallWithPkexec(const std::filesystem::path& package) {
    const QString pkexec = QStandardPaths::findExecutable("pkexec");
    const bool desktop = !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (pkexec.isEmpty() || !desktop) return false;
    // pkexec runs apt-get in root's home folder: the package goes by its full path.
    // The user agreed already, and apt-get has no terminal to ask on.
    return QProcess::startDetached(pkexec, {"apt-get", "install", "--yes", QString::fromStdString(package.string())});
}

}  // namespace skartina
