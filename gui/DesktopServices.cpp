#include "gui/DesktopServices.h"

#include "startup/ProductInfo.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

namespace {

// How long the opener may take to say whether it found a program.
constexpr int kOpenerWaitMs = 3000;

}  // namespace

namespace skartina {

void QtPrompter::inform(const std::string& text) {
    QMessageBox::information(parent_, kAppTitle, QString::fromStdString(text));
}

bool QtPrompter::confirm(const std::string& text) {
    return QMessageBox::question(parent_, kAppTitle, QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

bool QtPrompter::offer(const std::string& text) {
    return QMessageBox::question(parent_, kAppTitle, QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

Prompter::Answer QtPrompter::ask(const std::string& text) {
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

bool OpenWithDesktop(const QString& fileOrUrl) {
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
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return true;
    }
    const bool opened = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    delete process;
    return opened;
}

void StartDetached(const std::filesystem::path& program) {
    QProcess::startDetached(QString::fromStdString(program.string()), {});
}

}  // namespace skartina
