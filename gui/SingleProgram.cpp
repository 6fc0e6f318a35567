// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/SingleProgram.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace skartina {
namespace {

constexpr int kAnswerWaitMs = 3000;
const QByteArray kComeForward = "forward\n";

}  // namespace

QString SingleProgram::ServerName(const std::filesystem::path& folder) {
    // The folder however it was named (a link, "..", a trailing "/"): one socket for one folder.
    std::error_code ec;
    std::filesystem::path same = std::filesystem::weakly_canonical(folder, ec);
    if (ec) same = folder.lexically_normal();
    const QByteArray key = QByteArray::fromStdString(same.string());
    return QString("skartina-%1-%2")
        .arg(::getuid())
        .arg(QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(24)));
}

SingleProgram::Start SingleProgram::claim(const std::filesystem::path& folder, std::string& told) {
    const QString name = ServerName(folder);
    lock_ = DataFolderLock::Take(folder, kWindowHolder);
    if (lock_) {
        // Holding the lock, any socket of that name was left by a program that ended.
        QLocalServer::removeServer(name);
        server_ = new QLocalServer(this);
        server_->setSocketOptions(QLocalServer::UserAccessOption);
        connect(server_, &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket* caller = server_->nextPendingConnection()) {
                connect(caller, &QLocalSocket::readyRead, caller, [this, caller] {
                    if (caller->readAll().contains(kComeForward) && onCalled) onCalled();
                    caller->disconnectFromServer();
                });
                connect(caller, &QLocalSocket::disconnected, caller, &QObject::deleteLater);
            }
        });
        // Without the socket the program still works; a later start is then refused instead of answered.
        server_->listen(name);
        return Start::First;
    }
    const std::string holder = DataFolderLock::HolderOf(folder);
    if (holder.rfind(kWindowHolder, 0) == 0) {
        QLocalSocket socket;
        socket.connectToServer(name);
        if (socket.waitForConnected(kAnswerWaitMs)) {
            socket.write(kComeForward);
            socket.waitForBytesWritten(kAnswerWaitMs);
            socket.waitForDisconnected(kAnswerWaitMs);
            told = FolderInUseSentence(folder, holder, "το παράθυρό του ήρθε μπροστά.");
            return Start::WindowCalled;
        }
    }
    told = FolderInUseSentence(folder, holder,
                               "το ΣΚΑΡΤΙΝΑ δεν ανοίγει δεύτερη φορά στον ίδιο φάκελο· ανοίξτε το όταν τελειώσει.");
    return Start::Refused;
}

}  // namespace skartina
