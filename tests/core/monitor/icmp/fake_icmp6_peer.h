#pragma once

#include <netinet/in.h>

#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "core/base/unique_fd.h"
#include "core/monitor/net/stop_signal.h"
#include "icmp_datagrams.h"

namespace pelmora::test {

// The IPv6 stand-in host: it catches the ICMPv6 echo requests sent to its
// address on a raw ICMPv6 socket and lets the test's responder answer each
// with ICMPv6 messages from any local address, with any hop limit (the
// kernel adds the IPv6 header and the checksum). Switch the kernel's own
// echo answers off (ipv6/icmp/echo_ignore_all) so that only the responder
// answers.
class FakeIcmp6Peer {
public:
    class Link {
    public:
        // Sends one ICMPv6 message from `source` (a local address) to `to`.
        void Send(const in6_addr& source, const in6_addr& to, int hopLimit,
                  const Bytes& icmp) const;

    private:
        friend class FakeIcmp6Peer;
        explicit Link(int fd) : fd_(fd) {}
        int fd_;
    };

    // The caught echo request, from its ICMPv6 header on, and its sender.
    struct Request {
        Bytes icmp;
        in6_addr from{};
        in6_addr to{};
    };
    using Responder = std::function<void(const Request& request, const Link& link)>;

    FakeIcmp6Peer(const char* address, Responder responder);
    FakeIcmp6Peer(const FakeIcmp6Peer&) = delete;
    FakeIcmp6Peer& operator=(const FakeIcmp6Peer&) = delete;
    ~FakeIcmp6Peer();

private:
    void Run();

    in6_addr address_{};
    Responder responder_;
    UniqueFd socket_;
    StopSignal stop_;
    std::thread thread_;
};

in6_addr Address6(const char* text);

// The IPv6 header (40 bytes) of a datagram carrying `icmp`, for quoting.
Bytes Ipv6Datagram(const in6_addr& source, const in6_addr& destination, const Bytes& icmp);

} // namespace pelmora::test
