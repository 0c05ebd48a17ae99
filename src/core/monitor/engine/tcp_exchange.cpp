#include "core/monitor/engine/tcp_exchange.h"

#include <arpa/inet.h>
#include <sys/epoll.h>
#include <sys/socket.h>

#include <array>
#include <cerrno>
#include <utility>

#include "core/monitor/net/probe_errors.h"
#include "core/monitor/net/socket_error.h"

namespace pelmora {
namespace {

[[noreturn]] void ThrowConnectFailure(int errnoValue)
{
    throw EIdConnectException(SocketErrorMessage(WinsockCode(errnoValue)));
}

void BindToAnyAddress(int fd, int family)
{
    // Leave the choice of the local port to the connect, which picks one that
    // is free towards this destination. A port picked by the bind alone must
    // be free towards every destination, so each check's port lingering in
    // TIME_WAIT would make later binds slower and finally fail. Where the
    // option is missing, the bind picks the port as before.
    const int deferPort = 1;
    ::setsockopt(fd, IPPROTO_IP, IP_BIND_ADDRESS_NO_PORT, &deferPort, sizeof deferPort);
    sockaddr_storage any{};
    const socklen_t length = family == AF_INET6
                                 ? ToSocketAddress(IpAddress(in6addr_any), 0, &any)
                                 : ToSocketAddress(IpAddress(in_addr{htonl(INADDR_ANY)}), 0, &any);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&any), length) != 0) {
        if (errno == EADDRINUSE) {
            throw EIdCouldNotBindSocket();
        }
        ThrowSocketError(errno);
    }
}

bool NothingMoreNow(int error)
{
    return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

} // namespace

UniqueFd TcpExchange::OpenSocket(int family)
{
    return UniqueFd(::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
}

TcpExchange::TcpExchange(UniqueFd socket, const IpAddress& address, std::uint16_t port,
                         std::string request)
    : fd_(std::move(socket)), request_(std::move(request))
{
    BindToAnyAddress(fd_.Get(), address.family);
    sockaddr_storage peer{};
    const socklen_t peerLength = ToSocketAddress(address, port, &peer);
    // Even a connect that completes at once is taken up at the first
    // writability, like one in progress; an interrupted one goes on in the
    // background the same way.
    if (::connect(fd_.Get(), reinterpret_cast<const sockaddr*>(&peer), peerLength) != 0 &&
        errno != EINPROGRESS && errno != EINTR) {
        ThrowConnectFailure(errno);
    }
}

TcpExchange::~TcpExchange()
{
    ::shutdown(fd_.Get(), SHUT_WR);
}

std::uint32_t TcpExchange::Events() const
{
    return step_ == Step::Reading ? EPOLLIN : EPOLLOUT;
}

void TcpExchange::Advance()
{
    switch (step_) {
    case Step::Connecting: FinishConnect(); break;
    case Step::Sending: SendSome(); break;
    case Step::Reading: ReadSome(); break;
    case Step::Done: break;
    }
}

void TcpExchange::FinishConnect()
{
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(fd_.Get(), SOL_SOCKET, SO_ERROR, &error, &size) != 0) {
        error = errno;
    }
    if (error != 0) {
        ThrowConnectFailure(error);
    }
    if (request_.empty()) {
        step_ = Step::Done;
        return;
    }
    step_ = Step::Sending;
    SendSome();
}

void TcpExchange::SendSome()
{
    while (sent_ < request_.size()) {
        const ssize_t sent =
            ::send(fd_.Get(), request_.data() + sent_, request_.size() - sent_, MSG_NOSIGNAL);
        if (sent > 0) {
            sent_ += static_cast<std::size_t>(sent);
        } else if (sent == 0) {
            throw EIdConnClosedGracefully();
        } else if (NothingMoreNow(errno)) {
            return;
        } else {
            ThrowSocketError(errno);
        }
    }
    step_ = Step::Reading;
}

void TcpExchange::ReadSome()
{
    std::array<char, 256> buffer{};
    // Ends within StatusLineReader::kMaxBytes received bytes at the latest.
    while (true) {
        const ssize_t received = ::recv(fd_.Get(), buffer.data(), buffer.size(), 0);
        if (received == 0) {
            throw EIdConnClosedGracefully();
        }
        if (received < 0) {
            if (NothingMoreNow(errno)) {
                return;
            }
            ThrowSocketError(errno);
        }
        switch (reader_.Feed({buffer.data(), static_cast<std::size_t>(received)})) {
        case StatusLineReader::Result::Complete: step_ = Step::Done; return;
        case StatusLineReader::Result::Malformed: throw EIdException("Invalid HTTP status line.");
        case StatusLineReader::Result::NeedMore: break;
        }
    }
}

} // namespace pelmora
