#pragma once

#include <netinet/in.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/monitor/net/ip_address.h"
#include "core/monitor/probing/reply_status.h"

namespace pelmora {

// The echo request as sent: 8-byte ICMP header, 12 bytes of tick count and
// zeros, 32 bytes of payload.
constexpr std::size_t kEchoRequestSize = 52;
using EchoRequest = std::array<std::uint8_t, kEchoRequestSize>;

// RFC 1071 Internet checksum over `length` bytes, as the value to store
// big-endian in a checksum field. Over a message whose checksum field holds
// its checksum, the result is 0.
std::uint16_t InternetChecksum(const std::uint8_t* bytes, std::size_t length);

// Echo request with identifier, sequence number and tick count written least
// significant byte first, the payload text's first 32 bytes and then 0x45
// ("E") up to the end, and the checksum filled in.
EchoRequest BuildEchoRequest(std::uint16_t identifier, std::uint16_t sequence,
                             std::uint32_t tickCount, std::string_view payload);

// Identifier and sequence number are compared as read least significant byte
// first from the echo header, the way the request wrote them.
struct EchoExpectation {
    IpAddress destination;
    std::uint16_t identifier = 0;
    std::uint16_t sequence = 0;
};

// The reply status items of a datagram that answers our request.
struct IcmpAnswer {
    ReplyKind status = ReplyKind::EchoReply;
    std::uint8_t messageType = 0;
    std::uint16_t sequence = 0;
    std::uint8_t ttl = 0;
    IpAddress source;
    // IP header included.
    std::uint32_t byteCount = 0;
};

// How a datagram was received: a raw IPv4 socket hands it over with its IP
// header in front; the datagram sockets and the raw ICMPv6 socket strip the
// header and tell its source address and TTL (hop limit) separately.
struct DatagramFraming {
    bool ipHeaderInFront = true;
    IpAddress source;
    std::uint8_t ttl = 0;
};

// The sequence number a received datagram would answer: that of an echo
// reply, or the one quoted in a destination-unreachable or time-exceeded
// report. Nothing for any other or a truncated datagram. Only a first sort:
// ExamineDatagram decides whether the datagram answers that request.
std::optional<std::uint16_t> SequenceAnswered(const std::uint8_t* bytes, std::size_t length,
                                              const DatagramFraming& framing);

// Decides whether `length` bytes received on an ICMP socket answer the
// request described by `expected`. Ours are an echo reply from the
// destination with a valid checksum, our identifier and sequence number, and
// a destination-unreachable or time-exceeded report whose quoted IPv4 header
// names the destination and protocol ICMP, followed by our echo request.
// Everything else, malformed or truncated datagrams included, is not ours.
// Reads only within the given bytes.
std::optional<IcmpAnswer> ExamineDatagram(const std::uint8_t* bytes, std::size_t length,
                                          const EchoExpectation& expected,
                                          const DatagramFraming& framing);

// An ICMP error report as the datagram socket's error queue delivers it: the
// report's type, its sender and TTL, the address of the datagram it quotes,
// and the quoted datagram from its ICMP header on.
struct ErrorQueueReport {
    std::uint8_t type = 0;
    IpAddress reporter;
    std::uint8_t ttl = 0;
    IpAddress quotedDestination;
    const std::uint8_t* quoted = nullptr;
    std::size_t quotedLength = 0;
};

// The sequence number quoted in a report from the error queue.
std::optional<std::uint16_t> SequenceAnswered(const ErrorQueueReport& report);

// The same decision for a report taken from the error queue. The byte count
// is that of the report as it travelled: IP header, ICMP header, quoted IP
// header (taken to be 20 bytes) and the quoted bytes.
std::optional<IcmpAnswer> ExamineErrorQueueReport(const ErrorQueueReport& report,
                                                  const EchoExpectation& expected);

} // namespace pelmora
