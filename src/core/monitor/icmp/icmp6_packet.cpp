#include "core/monitor/icmp/icmp6_packet.h"

#include <cstring>

namespace pelmora {
namespace {

constexpr std::size_t kIpv6HeaderSize = 40;
constexpr std::size_t kIcmpHeaderSize = 8;
constexpr std::uint8_t kNextHeaderIcmpv6 = 58;

constexpr std::uint8_t kTypeUnreachable = 1;
constexpr std::uint8_t kTypeTimeExceeded = 3;
constexpr std::uint8_t kTypeEchoRequest = 128;
constexpr std::uint8_t kTypeEchoReply = 129;

std::uint16_t LittleEndian16(const std::uint8_t* at)
{
    return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

bool CarriesOurNumbers(const std::uint8_t* header, const EchoExpectation& expected)
{
    return LittleEndian16(header + 4) == expected.identifier &&
           LittleEndian16(header + 6) == expected.sequence;
}

in6_addr AddressAt(const std::uint8_t* at)
{
    in6_addr address{};
    std::memcpy(&address, at, sizeof address);
    return address;
}

// The part of a report after its ICMPv6 header: the IPv6 header of the
// datagram it refers to, then at least the first 8 bytes of our request.
// A request of ours carries no extension header, so the quoted one follows
// the fixed header directly.
bool QuotesOurRequest(const std::uint8_t* quote, std::size_t length,
                      const EchoExpectation& expected)
{
    if (length < kIpv6HeaderSize + kIcmpHeaderSize || (quote[0] >> 4) != 6) {
        return false;
    }
    const std::uint8_t* echo = quote + kIpv6HeaderSize;
    return quote[6] == kNextHeaderIcmpv6 &&
           IpAddress(AddressAt(quote + 24)) == expected.destination &&
           echo[0] == kTypeEchoRequest && CarriesOurNumbers(echo, expected);
}

ReplyKind KindOfReport(std::uint8_t type)
{
    return type == kTypeUnreachable ? ReplyKind::Unreachable : ReplyKind::TtlExpired;
}

} // namespace

EchoRequest BuildEchoRequest6(std::uint16_t identifier, std::uint16_t sequence,
                              std::uint32_t tickCount, std::string_view payload)
{
    EchoRequest request = BuildEchoRequest(identifier, sequence, tickCount, payload);
    request[0] = kTypeEchoRequest;
    request[2] = 0;
    request[3] = 0;
    return request;
}

std::optional<std::uint16_t> SequenceAnswered6(const std::uint8_t* bytes, std::size_t length)
{
    if (length < kIcmpHeaderSize) {
        return std::nullopt;
    }
    if (bytes[0] == kTypeEchoReply) {
        return LittleEndian16(bytes + 6);
    }
    if (bytes[0] != kTypeUnreachable && bytes[0] != kTypeTimeExceeded) {
        return std::nullopt;
    }
    const std::size_t echoStart = kIcmpHeaderSize + kIpv6HeaderSize;
    if (length < echoStart + kIcmpHeaderSize) {
        return std::nullopt;
    }
    return LittleEndian16(bytes + echoStart + 6);
}

std::optional<IcmpAnswer> ExamineDatagram6(const std::uint8_t* bytes, std::size_t length,
                                           const EchoExpectation& expected,
                                           const DatagramFraming& framing)
{
    if (length < kIcmpHeaderSize) {
        return std::nullopt;
    }
    IcmpAnswer answer;
    answer.ttl = framing.ttl;
    answer.source = framing.source;
    answer.byteCount = static_cast<std::uint32_t>(length + kIpv6HeaderSize);
    answer.messageType = bytes[0];
    answer.sequence = expected.sequence;
    switch (bytes[0]) {
    case kTypeEchoReply:
        if (answer.source != expected.destination || !CarriesOurNumbers(bytes, expected)) {
            return std::nullopt;
        }
        answer.status = ReplyKind::EchoReply;
        return answer;
    case kTypeUnreachable:
    case kTypeTimeExceeded:
        if (!QuotesOurRequest(bytes + kIcmpHeaderSize, length - kIcmpHeaderSize, expected)) {
            return std::nullopt;
        }
        answer.status = KindOfReport(bytes[0]);
        return answer;
    default:
        // Neighbour discovery, router advertisements, other programs' echoes.
        return std::nullopt;
    }
}

std::optional<IcmpAnswer> ExamineErrorQueueReport6(const ErrorQueueReport& report,
                                                   const EchoExpectation& expected)
{
    if (report.type != kTypeUnreachable && report.type != kTypeTimeExceeded) {
        return std::nullopt;
    }
    if (report.quotedDestination != expected.destination || report.quotedLength < kIcmpHeaderSize ||
        report.quoted[0] != kTypeEchoRequest || !CarriesOurNumbers(report.quoted, expected)) {
        return std::nullopt;
    }
    IcmpAnswer answer;
    answer.status = KindOfReport(report.type);
    answer.messageType = report.type;
    answer.sequence = expected.sequence;
    answer.ttl = report.ttl;
    answer.source = report.reporter;
    answer.byteCount = static_cast<std::uint32_t>(kIpv6HeaderSize + kIcmpHeaderSize +
                                                  kIpv6HeaderSize + report.quotedLength);
    return answer;
}

} // namespace pelmora
