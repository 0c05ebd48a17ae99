#pragma once

#include <netinet/in.h>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "core/base/unique_fd.h"
#include "core/monitor/icmp/icmp_packet.h"

namespace pelmora {

// The ICMP (AF_INET) or ICMPv6 (AF_INET6) socket of one check cycle. A raw
// socket where the process may open one; otherwise the unprivileged
// datagram socket, which answers with the same reply status items.
class IcmpSocket {
public:
    // Throws EIdInvalidSocket when neither kind can be opened (EIdNoDescriptor
    // when no descriptor was free), and EIdSocketError when the socket
    // refuses an option it needs.
    static IcmpSocket Open(int family);

    int Fd() const { return fd_.Get(); }

    // Sets the time-to-live (hop limit) of outgoing datagrams; throws
    // EIdSocketError.
    void SetTtl(int ttl) const;

    // Sends the request in one datagram. Returns the identifier the request
    // carries on the wire, which on a datagram socket is the kernel's choice.
    // Throws EIdPackageSizeTooBig, EIdNotAllBytesSent or EIdSocketError.
    std::uint16_t Send(const EchoRequest& request, const IpAddress& destination,
                       std::uint16_t port) const;

    // The request in flight that carries a sequence number, if any.
    using Expectations = std::function<const EchoExpectation*(std::uint16_t sequence)>;

    // Takes at most one waiting datagram or error report off the socket, never
    // blocking. Returns the answer it holds when it answers one of the
    // requests in flight; nothing when it does not. `*empty` tells whether
    // nothing was waiting at all. Throws EIdSocketError when reading fails.
    std::optional<IcmpAnswer> ReceiveOne(const Expectations& expected, bool* empty);

private:
    enum class Kind { Raw, Datagram };

    IcmpSocket(UniqueFd fd, int family, Kind kind);

    std::optional<IcmpAnswer> ReceiveRaw(const Expectations& expected, bool* empty);
    std::optional<IcmpAnswer> ReceiveDatagram(const Expectations& expected, bool* empty);
    std::optional<IcmpAnswer> Examine(std::size_t length, const Expectations& expected,
                                      const DatagramFraming& framing) const;
    // Nothing and `*empty` true when the error queue holds no report.
    std::optional<IcmpAnswer> ReceiveErrorReport(const Expectations& expected, bool* empty);

    UniqueFd fd_;
    int family_;
    Kind kind_;
    std::array<std::uint8_t, 1024> buffer_{};
};

} // namespace pelmora
