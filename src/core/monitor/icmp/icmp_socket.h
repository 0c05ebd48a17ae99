#pragma once

#include <netinet/in.h>

#include <array>
#include <cstdint>
#include <optional>

#include "core/base/unique_fd.h"
#include "core/monitor/icmp/icmp_packet.h"

namespace pelmora {

// The socket of one echo call. A raw ICMP socket where the process may open
// one; otherwise the unprivileged ICMP datagram socket, which answers with
// the same reply status items.
class IcmpSocket {
public:
    // Throws EIdInvalidSocket when neither kind can be opened, and
    // EIdSocketError when the socket refuses an option it needs.
    static IcmpSocket Open(int protocol);

    int Fd() const { return fd_.Get(); }

    // Sets the time-to-live of outgoing datagrams; throws EIdSocketError.
    void SetTtl(int ttl) const;

    // Sends the request in one datagram. Returns the identifier the request
    // carries on the wire, which on a datagram socket is the kernel's choice.
    // Throws EIdPackageSizeTooBig, EIdNotAllBytesSent or EIdSocketError.
    std::uint16_t Send(const EchoRequest& request, in_addr destination, std::uint16_t port) const;

    // Takes at most one waiting datagram or error report off the socket, never
    // blocking. Returns the answer it holds when it belongs to `expected`;
    // nothing when it does not or nothing was waiting. Throws EIdSocketError
    // when reading fails.
    std::optional<IcmpAnswer> ReceiveOne(const EchoExpectation& expected);

private:
    enum class Kind { Raw, Datagram };

    IcmpSocket(UniqueFd fd, Kind kind);

    std::optional<IcmpAnswer> ReceiveRaw(const EchoExpectation& expected);
    std::optional<IcmpAnswer> ReceiveDatagram(const EchoExpectation& expected);
    // Nothing and `*empty` true when the error queue holds no report.
    std::optional<IcmpAnswer> ReceiveErrorReport(const EchoExpectation& expected, bool* empty);

    UniqueFd fd_;
    Kind kind_;
    std::array<std::uint8_t, 1024> buffer_{};
};

} // namespace pelmora
