#include "app/instance_guard.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

namespace pelmora {

InstanceGuard::InstanceGuard(const QString& applicationTitle)
    : name_(QStringLiteral("PREVINST:") + applicationTitle)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    QDir().mkpath(folder);
    socketPath_ = folder + QLatin1Char('/') + name_;
    lock_ = std::make_unique<QLockFile>(socketPath_ + QStringLiteral(".lock"));
    // The lock lives as long as this copy; a copy that crashed leaves a stale
    // lock that the next start recognises by its process id and takes over.
    lock_->setStaleLockTime(0);
    first_ = lock_->tryLock(0);
}

void InstanceGuard::ActivatePreviousInstance() const
{
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (socket.waitForConnected(1000)) {
        socket.write("activate\n");
        socket.waitForBytesWritten(1000);
        socket.disconnectFromServer();
    }
}

void InstanceGuard::OnActivationRequest(std::function<void()> activate)
{
    QLocalServer::removeServer(socketPath_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(socketPath_)) {
        return;
    }
    connect(&server_, &QLocalServer::newConnection, this, [this, activate = std::move(activate)] {
        while (QLocalSocket* peer = server_.nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            activate();
        }
    });
}

} // namespace pelmora
