#include "support/tcp_listener.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>

#include <chrono>
#include <stdexcept>

namespace pelmora::test {

TcpListener::TcpListener(const std::string& address, std::uint16_t port)
{
    const bool v6 = address.find(':') != std::string::npos;
    socket_ = UniqueFd(::socket(v6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    sockaddr_in6 local6{};
    local6.sin6_family = AF_INET6;
    local6.sin6_port = htons(port);
    auto* bound = v6 ? reinterpret_cast<sockaddr*>(&local6) : reinterpret_cast<sockaddr*>(&local);
    socklen_t size = v6 ? sizeof local6 : sizeof local;
    const int parsed = v6 ? ::inet_pton(AF_INET6, address.c_str(), &local6.sin6_addr)
                          : ::inet_pton(AF_INET, address.c_str(), &local.sin_addr);
    if (!socket_.Valid() || parsed != 1 || ::bind(socket_.Get(), bound, size) != 0 ||
        ::listen(socket_.Get(), SOMAXCONN) != 0 ||
        ::getsockname(socket_.Get(), bound, &size) != 0) {
        throw std::runtime_error("cannot listen on " + address);
    }
    port_ = ntohs(v6 ? local6.sin6_port : local.sin_port);
}

bool TcpListener::HasPendingConnection(int waitMs) const
{
    pollfd watched{socket_.Get(), POLLIN, 0};
    return ::poll(&watched, 1, waitMs) == 1;
}

UniqueFd TcpListener::Accept(int waitMs) const
{
    if (!HasPendingConnection(waitMs)) {
        return {};
    }
    return UniqueFd(::accept4(socket_.Get(), nullptr, nullptr, SOCK_CLOEXEC));
}

ReadToClose ReadUntilClosed(int fd, int waitMs)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
    ReadToClose result;
    char buffer[512];
    while (Clock::now() < deadline) {
        pollfd watched{fd, POLLIN, 0};
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (::poll(&watched, 1, static_cast<int>(left.count()) + 1) != 1) {
            continue;
        }
        const ssize_t received = ::recv(fd, buffer, sizeof buffer, 0);
        if (received <= 0) {
            result.closed = received == 0;
            break;
        }
        result.bytes.append(buffer, static_cast<std::size_t>(received));
    }
    return result;
}

} // namespace pelmora::test
