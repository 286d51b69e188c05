#include "app/single_instance.h"

#include <QDir>
#include <QLocalSocket>
#include <QPointer>

#include "platform/instance_channel.h"
#include "platform/mouse_lock.h"

namespace kx700::app {

SingleInstance::SingleInstance(const QString& name)
    : key_(name + QLatin1Char('-') + QString::fromStdString(InstanceUserName())) {}

SingleInstance::~SingleInstance() { server_.close(); }

bool SingleInstance::acquire() {
    const std::filesystem::path folder = RuntimeFolder();
    if (folder.empty()) return true;  // nowhere to keep a lock: run as the first
    const QString socket = QString::fromStdString(InstanceSocketPath(key_.toStdString()).string());
    lock_ = std::make_unique<QLockFile>(QString::fromStdString(folder.string()) + QLatin1Char('/') + key_ +
                                        QStringLiteral(".lock"));
    lock_->setStaleLockTime(0);  // a crashed first instance leaves no lasting lock
    if (!lock_->tryLock(100)) {
        if (lock_->error() != QLockFile::LockFailedError) return true;  // no lock could be made at all
        QLocalSocket peer;
        peer.connectToServer(socket);
        if (peer.waitForConnected(1000)) {
            peer.write("show\n");
            peer.waitForBytesWritten(1000);
            peer.disconnectFromServer();
        }
        return false;
    }
    QLocalServer::removeServer(socket);  // a leftover socket of a crashed run
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    server_.listen(socket);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* c = server_.nextPendingConnection()) serve(c);
    });
    return true;
}

void SingleInstance::serve(QLocalSocket* client) {
    connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
    auto handle = [this, client] {
        if (!client->canReadLine()) return;
        const QByteArray request = client->readLine().trimmed();
        if (request == "apply") {
            // The window answers when its apply has ended; the asker may have
            // gone by then.
            const QPointer<QLocalSocket> alive(client);
            auto reply = [alive](const std::string& answer) {
                if (!alive) return;
                alive->write(answer.data(), static_cast<qint64>(answer.size()));
                alive->flush();
                alive->disconnectFromServer();
            };
            if (applyHandler_) {
                applyHandler_(reply);
            } else {
                reply("result 1 the window cannot apply\n");
            }
            return;
        }
        Q_EMIT showRequested();  // "show", and anything an older start sends
        client->disconnectFromServer();
    };
    connect(client, &QLocalSocket::readyRead, client, handle);
    handle();  // the request may have come with the connection
}

}  // namespace kx700::app
