#pragma once

#include <netinet/in.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <unordered_map>

#include "core/monitor/icmp/icmp_packet.h"
#include "core/monitor/icmp/icmp_socket.h"

namespace pelmora {

// The echo requests of one cycle to the addresses of one family, all over
// one ICMP (or ICMPv6) socket: each carries a sequence number of its own, by
// which its answer is found again. The socket is opened with the first
// request and closed with Close.
class EchoRequests {
public:
    static constexpr std::uint16_t kFirstSequence = 3489;
    static constexpr int kTimeToLive = 128;

    // AF_INET or AF_INET6.
    explicit EchoRequests(int family = AF_INET);

    // The socket's descriptor; -1 while none is open.
    int Fd() const;

    // Sends the request of list entry `entry`, opening the socket first if
    // needed, and returns its sequence number. Nothing, with nothing sent,
    // while every sequence number is taken by a request in flight. Throws
    // the EIdException errors of IcmpSocket's Open and Send.
    std::optional<std::uint16_t> Send(std::size_t entry, const IpAddress& destination);

    // Takes waiting datagrams off the socket, at most `most` of them, and
    // calls `answered` for each that answers a request in flight, which is
    // then forgotten. Returns whether more may be waiting. Throws
    // EIdSocketError when reading fails.
    using Answered = std::function<void(std::size_t entry, const IcmpAnswer& answer)>;
    bool Receive(std::size_t most, const Answered& answered);

    // A request that no longer waits: its answer, should it come, is skipped.
    void Forget(std::uint16_t sequence);
    // Forgets every request and closes the socket.
    void Close();

private:
    struct InFlight {
        std::size_t entry = 0;
        EchoExpectation expected;
    };

    int family_;
    std::optional<IcmpSocket> socket_;
    std::unordered_map<std::uint16_t, InFlight> inFlight_;
    // Goes on from cycle to cycle, so a late answer to an earlier cycle's
    // request finds no request of this one.
    std::uint16_t nextSequence_ = kFirstSequence;
};

} // namespace pelmora
