#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/monitor/probing/reply_status.h"

namespace pelmora {

enum class ProbeKind : std::uint8_t {
    // One ICMP echo request, answered within 1.5 s.
    Echo,
    // A TCP connect within 3 s, closed again at once; nothing is sent.
    Connect,
    // A TCP connect to a proxy within 3 s, one request, and the status line
    // of the answer with at most 3 s of silence.
    Proxy,
    // The same exchange with a CONNECT request for a secure web address: only
    // a 2xx status means the proxy opened the tunnel.
    Tunnel,
};

// One probe of a cycle, as the worker asks for it.
struct ProbeJob {
    ProbeKind kind = ProbeKind::Echo;
    // Echo: the name or address to ping. Connect: the web host. Proxy: the
    // proxy server. Resolved by the rules of ResolveHost.
    std::string host;
    std::uint16_t port = 0;
    // Proxy and Tunnel only: the request sent once connected.
    std::string request;
};

// How one probe ended.
struct ProbeAnswer {
    std::size_t entry = 0;
    // The failure's text (as the probe errors word it); empty when the probe
    // ran to its end.
    std::optional<std::string> failure;
    // Echo: the reply status, a timeout included.
    TReplyStatus echo;
    // Proxy and Tunnel: the status code of the answer.
    int proxyStatus = 0;
    // Echo: no ICMP socket may be opened for want of permission.
    bool icmpNotPermitted = false;
    // How long the host took, the name lookup left out. Echo: from sending
    // the request to its answer, a report from a router included. Connect:
    // the connect. Proxy: from the start of the connect to the status line.
    // Nothing when the probe failed or timed out.
    std::optional<std::chrono::microseconds> roundTrip;
};

} // namespace pelmora
