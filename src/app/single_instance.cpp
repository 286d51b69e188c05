#include "app/single_instance.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace kx700::app {

namespace {
QString UserName() {
    QString user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
#ifndef _WIN32
    if (user.isEmpty()) user = QString::number(::getuid());
#endif
    return user;
}
}  // namespace

SingleInstance::SingleInstance(const QString& name) : key_(name + QLatin1Char('-') + UserName()) {}

SingleInstance::~SingleInstance() { server_.close(); }

bool SingleInstance::acquire() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    lock_ = std::make_unique<QLockFile>(dir + QLatin1Char('/') + key_ + QStringLiteral(".lock"));
    lock_->setStaleLockTime(0);  // a crashed first instance leaves no lasting lock
    if (!lock_->tryLock(100)) {
        QLocalSocket socket;
        socket.connectToServer(key_);
        if (socket.waitForConnected(1000)) {
            socket.write("show\n");
            socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
        }
        return false;
    }
    QLocalServer::removeServer(key_);  // a leftover socket of a crashed run
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    server_.listen(key_);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* c = server_.nextPendingConnection()) {
            connect(c, &QLocalSocket::disconnected, c, &QObject::deleteLater);
            Q_EMIT showRequested();
        }
    });
    return true;
}

}  // namespace kx700::app
