#include "gui/DesktopServices.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

namespace skartina {

void QtPrompter::inform(const std::string& text) {
    QMessageBox::information(parent_, QApplication::applicationDisplayName(), QString::fromStdString(text));
}

bool QtPrompter::confirm(const std::string& text) {
    return QMessageBox::question(parent_, QApplication::applicationDisplayName(), QString::fromStdString(text),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

bool OpenWithDesktop(const QString& fileOrUrl) {
    const QUrl url = fileOrUrl.contains("://") ? QUrl(fileOrUrl) : QUrl::fromLocalFile(fileOrUrl);
    return QDesktopServices::openUrl(url);
}

void StartDetached(const std::filesystem::path& program) {
    QProcess::startDetached(QString::fromStdString(program.string()), {});
}

}  // namespace skartina
