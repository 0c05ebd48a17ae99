#include "core/monitor/http/tcp_connect.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "core/monitor/http/socket_wait.h"
#include "core/monitor/net/probe_errors.h"
#include "core/monitor/net/resolve_host.h"
#include "core/monitor/net/socket_error.h"

namespace pelmora {
namespace {

[[noreturn]] void ThrowConnectFailure(int errnoValue)
{
    throw EIdConnectException(SocketErrorMessage(WinsockCodeFromErrno(errnoValue)));
}

void BindToAnyAddress(int fd)
{
    // Leave the choice of the local port to the connect, which picks one that
    // is free towards this destination. A port picked by the bind alone must
    // be free towards every destination, so each check's port lingering in
    // TIME_WAIT would make later binds slower and finally fail. Where the
    // option is missing, the bind picks the port as before.
    const int deferPort = 1;
    ::setsockopt(fd, IPPROTO_IP, IP_BIND_ADDRESS_NO_PORT, &deferPort, sizeof deferPort);
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_addr.s_addr = htonl(INADDR_ANY);
    any.sin_port = 0;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0) {
        if (errno == EADDRINUSE) {
            throw EIdCouldNotBindSocket();
        }
        ThrowSocketError(errno);
    }
}

} // namespace

UniqueFd ConnectTcp(const std::string& host, std::uint16_t port, int limitMs,
                    const StopSignal* abort)
{
    UniqueFd socket(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!socket.Valid()) {
        throw EIdInvalidSocket();
    }
    BindToAnyAddress(socket.Get());

    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_addr = ResolveHost(host);
    peer.sin_port = htons(port);

    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(limitMs, 0));
    if (::connect(socket.Get(), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0) {
        return socket;
    }
    // An interrupted non-blocking connect goes on in the background like one
    // in progress; either way its outcome shows as writability.
    if (errno != EINPROGRESS && errno != EINTR) {
        ThrowConnectFailure(errno);
    }
    if (!WaitForSocket(socket.Get(), POLLOUT, deadline, abort)) {
        throw EIdConnectTimeout();
    }
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(socket.Get(), SOL_SOCKET, SO_ERROR, &error, &size) != 0) {
        error = errno;
    }
    if (error != 0) {
        ThrowConnectFailure(error);
    }
    return socket;
}

} // namespace pelmora
