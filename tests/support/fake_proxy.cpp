#include "support/fake_proxy.h"

#include <poll.h>
#include <sys/socket.h>

#include <chrono>

namespace pelmora::test {

FakeProxy::FakeProxy(ProxyBehaviour behaviour, const std::string& address)
    : listener_(address), behaviour_(std::move(behaviour)), thread_([this] { Serve(); })
{
}

FakeProxy::~FakeProxy()
{
    stop_.Raise();
    thread_.join();
}

std::vector<std::string> FakeProxy::Requests(std::size_t count, int waitMs)
{
    std::unique_lock lock(mutex_);
    received_.wait_for(lock, std::chrono::milliseconds(waitMs),
                       [&] { return requests_.size() >= count; });
    return requests_;
}

bool FakeProxy::WaitReadable(int fd) const
{
    pollfd watched[2] = {{fd, POLLIN, 0}, {stop_.Handle(), POLLIN, 0}};
    return ::poll(watched, 2, -1) > 0 && watched[1].revents == 0;
}

void FakeProxy::Serve()
{
    while (WaitReadable(listener_.Fd())) {
        const UniqueFd connection = listener_.Accept(0);
        if (connection.Valid()) {
            ServeOne(connection.Get());
        }
    }
}

void FakeProxy::ServeOne(int connection)
{
    std::string head;
    char buffer[512];
    while (head.find("\r\n\r\n") == std::string::npos && WaitReadable(connection)) {
        const ssize_t received = ::recv(connection, buffer, sizeof buffer, 0);
        if (received <= 0) {
            break;
        }
        head.append(buffer, static_cast<std::size_t>(received));
    }
    {
        const std::lock_guard lock(mutex_);
        requests_.push_back(head);
    }
    received_.notify_all();

    if (!behaviour_.answer.empty()) {
        ::send(connection, behaviour_.answer.data(), behaviour_.answer.size(), MSG_NOSIGNAL);
    }
    switch (behaviour_.then) {
    case ProxyBehaviour::Then::Close: break;
    case ProxyBehaviour::Then::Reset: {
        // Closing with a zero linger time sends a reset instead of a close.
        const linger abortive{1, 0};
        ::setsockopt(connection, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
        break;
    }
    case ProxyBehaviour::Then::Hold:
        while (WaitReadable(connection) && ::recv(connection, buffer, sizeof buffer, 0) > 0) {
        }
        break;
    }
}

} // namespace pelmora::test
