#pragma once

#include <netinet/in.h>

#include <cstdint>
#include <vector>

namespace pelmora::test {

using Bytes = std::vector<std::uint8_t>;

in_addr Address(const char* dotted);

// An echo message (type 0 reply or 8 request) with identifier and sequence
// number written least significant byte first, the given data after the
// header, and its checksum filled in.
Bytes EchoMessage(std::uint8_t type, std::uint16_t identifier, std::uint16_t sequence,
                  const Bytes& data);

// An ICMP message of any type: type, code, checksum, then `rest`.
Bytes IcmpMessage(std::uint8_t type, std::uint8_t code, const Bytes& rest);

// An ICMP report (unreachable, time exceeded, ...) quoting a datagram, IP
// header included, after four unused bytes.
Bytes Report(std::uint8_t type, std::uint8_t code, const Bytes& quotedDatagram);

// An IPv4 datagram of protocol ICMP with a 20-byte header.
Bytes IpDatagram(in_addr source, in_addr destination, std::uint8_t ttl, const Bytes& icmp);

// The ICMP message of an IPv4 datagram (after its header).
Bytes IcmpPart(const Bytes& datagram);

} // namespace pelmora::test
