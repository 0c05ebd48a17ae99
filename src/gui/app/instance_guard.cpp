#include "gui/app/instance_guard.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <cstring>

namespace pelmora {
namespace {

// A plain Unix socket keeps the network library, and what it pulls in, out
// of a program that only needs to say "come to the front".
bool SocketAddress(const QString& path, sockaddr_un* address)
{
    const QByteArray bytes = QFile::encodeName(path);
    if (static_cast<std::size_t>(bytes.size()) >= sizeof address->sun_path) {
        return false;
    }
    std::memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    std::memcpy(address->sun_path, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return true;
}

} // namespace

InstanceGuard::InstanceGuard(const QString& applicationTitle)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    QDir().mkpath(folder);
    socketPath_ = folder + QStringLiteral("/PREVINST:") + applicationTitle;
    lock_ = std::make_unique<QLockFile>(socketPath_ + QStringLiteral(".lock"));
    // The lock lives as long as this copy; a copy that crashed leaves a stale
    // lock that the next start recognises by its process id and takes over.
    lock_->setStaleLockTime(0);
    first_ = lock_->tryLock(0);
}

InstanceGuard::~InstanceGuard()
{
    if (listener_.Valid()) {
        ::unlink(QFile::encodeName(socketPath_).constData());
    }
}

void InstanceGuard::ActivatePreviousInstance() const
{
    sockaddr_un address{};
    if (!SocketAddress(socketPath_, &address)) {
        return;
    }
    const UniqueFd peer(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (peer.Valid() &&
        ::connect(peer.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        const char request[] = "activate\n";
        [[maybe_unused]] const auto sent =
            ::send(peer.Get(), request, sizeof request - 1, MSG_NOSIGNAL);
    }
}

void InstanceGuard::OnActivationRequest(std::function<void()> activate)
{
    sockaddr_un address{};
    if (!first_ || !SocketAddress(socketPath_, &address)) {
        return;
    }
    activate_ = std::move(activate);
    // We hold the lock, so a socket file left there is a crashed copy's.
    ::unlink(address.sun_path);
    listener_.Reset(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    const mode_t mask = ::umask(077); // the user's own copies only
    const bool listening =
        listener_.Valid() &&
        ::bind(listener_.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        ::listen(listener_.Get(), 4) == 0;
    ::umask(mask);
    if (!listening) {
        listener_.Reset();
        return;
    }
    notifier_ = new QSocketNotifier(listener_.Get(), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &InstanceGuard::Accept);
}

void InstanceGuard::Accept()
{
    while (true) {
        const UniqueFd peer(::accept4(listener_.Get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (!peer.Valid()) {
            return;
        }
        activate_();
    }
}

} // namespace pelmora
