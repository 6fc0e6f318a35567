#include "gui/DesktopServices.h"

#include "startup/ProductInfo.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>

namespace {

// How long the opener may take to say whether it found a program.
constexpr int kOpenerWaitMs = 5000;

}  // namespace

namespace skartina {

void QtPrompter::inform(const std::string& text) {
    QMessageBox::information(parent_, kAppTitle, QString::fromStdString(text));
}

bool QtPrompter::confirm(const std::string& text) {
    return QMessageBox::question(parent_, kAppTitle, QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
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
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    process->start(opener, {target});
    if (!process->waitForStarted()) {
        process->deleteLater();
        return false;
    }
    // Some openers wait for the program they start; that one has found its program.
    if (!process->waitForFinished(kOpenerWaitMs)) return true;
    return process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
}

void StartDetached(const std::filesystem::path& program) {
    QProcess::startDetached(QString::fromStdString(program.string()), {});
}

}  // namespace skartina
