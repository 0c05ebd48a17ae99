#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/monitor/icmp/icmp_packet.h"

namespace pelmora {

// The ICMPv6 forms of the echo request and of the rules that tell our
// answers, with the same identifier, sequence number and payload as the
// IPv4 ones. Both ICMPv6 sockets hand datagrams over without the IPv6 header,
// and the kernel fills in and checks the checksum, which covers a
// pseudo-header only it knows for sure.

// Echo request (type 128) with its checksum left to the kernel.
EchoRequest BuildEchoRequest6(std::uint16_t identifier, std::uint16_t sequence,
                              std::uint32_t tickCount, std::string_view payload);

// The sequence number an ICMPv6 datagram would answer: that of an echo reply,
// or the one quoted in a destination-unreachable or time-exceeded report.
std::optional<std::uint16_t> SequenceAnswered6(const std::uint8_t* bytes, std::size_t length);

// Ours are an echo reply from the destination with our identifier and
// sequence number, and a destination-unreachable or time-exceeded report
// whose quoted IPv6 header names the destination and next header ICMPv6,
// followed by our echo request. The byte count includes the 40-byte IPv6
// header. Reads only within the given bytes.
std::optional<IcmpAnswer> ExamineDatagram6(const std::uint8_t* bytes, std::size_t length,
                                           const EchoExpectation& expected,
                                           const DatagramFraming& framing);

// The same decision for a report from the datagram socket's error queue.
std::optional<IcmpAnswer> ExamineErrorQueueReport6(const ErrorQueueReport& report,
                                                   const EchoExpectation& expected);

} // namespace pelmora
