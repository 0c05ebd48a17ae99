#pragma once

#include <cstdint>
#include <string>

// The system's socket types, from posix/ or windows/.
#include "net_types.h"

namespace pelmora {

// An IPv4 or IPv6 address, as a probe reaches it.
struct IpAddress {
    AddressFamily family = AF_INET;
    in_addr v4{};
    in6_addr v6{};

    IpAddress() = default;
    // Every in_addr or in6_addr the probes meet is one of these.
    IpAddress(in_addr address);  // NOLINT(google-explicit-constructor)
    IpAddress(in6_addr address); // NOLINT(google-explicit-constructor)

    bool IsV6() const { return family == AF_INET6; }
    bool operator==(const IpAddress& other) const;
};

// Dotted decimal for IPv4, the shortest text (RFC 5952) for IPv6.
std::string AddressText(const IpAddress& address);

// The socket address of `address` and `port`; returns its length.
socklen_t ToSocketAddress(const IpAddress& address, std::uint16_t port, sockaddr_storage* storage);

// The address of an AF_INET or AF_INET6 socket address.
IpAddress FromSocketAddress(const sockaddr_storage& storage);

} // namespace pelmora
