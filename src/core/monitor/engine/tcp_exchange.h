#pragma once

#include <netinet/in.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/base/unique_fd.h"
#include "core/monitor/http/status_line_reader.h"
#include "core/monitor/net/ip_address.h"

namespace pelmora {

// One web probe's TCP connection, driven by readiness events from outside:
// the connect, and where a request is given, sending it and reading the
// status line of the answer. Never blocks. Closed (its sending side shut
// down first) when destroyed.
class TcpExchange {
public:
    enum class Step : std::uint8_t { Connecting, Sending, Reading, Done };

    // A non-blocking stream socket; an invalid one, with errno telling why,
    // when none can be had. No exception, because running out of
    // descriptors is an expected, passing state here.
    static UniqueFd OpenSocket(int family);

    // Binds the socket to any local address and starts the connect. Throws
    // EIdCouldNotBindSocket, EIdSocketError, or EIdConnectException when the
    // connect fails at once.
    TcpExchange(UniqueFd socket, const IpAddress& address, std::uint16_t port, std::string request);
    TcpExchange(const TcpExchange&) = delete;
    TcpExchange& operator=(const TcpExchange&) = delete;
    ~TcpExchange();

    int Fd() const { return fd_.Get(); }
    Step Now() const { return step_; }
    // The readiness the current step waits for (epoll event bits).
    std::uint32_t Events() const;

    // Goes as far as the socket allows after it showed readiness. Throws
    // EIdConnectException when the connect failed, EIdConnClosedGracefully
    // when the peer closed, EIdSocketError when sending or receiving failed,
    // EIdException for an answer that is no HTTP status line.
    void Advance();
    // The status code, once Done after a request.
    int StatusCode() const { return reader_.StatusCode(); }

private:
    void FinishConnect();
    void SendSome();
    void ReadSome();

    UniqueFd fd_;
    std::string request_;
    std::size_t sent_ = 0;
    StatusLineReader reader_;
    Step step_ = Step::Connecting;
};

} // namespace pelmora
