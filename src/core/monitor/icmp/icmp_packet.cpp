#include "core/monitor/icmp/icmp_packet.h"

#include <algorithm>
#include <cstring>

namespace pelmora {
namespace {

constexpr std::size_t kIpHeaderMinSize = 20;
constexpr std::size_t kIcmpHeaderSize = 8;
constexpr std::uint8_t kIpProtocolIcmp = 1;
constexpr std::uint8_t kPayloadFill = 0x45;

constexpr std::uint8_t kTypeEchoReply = 0;
constexpr std::uint8_t kTypeUnreachable = 3;
constexpr std::uint8_t kTypeEchoRequest = 8;
constexpr std::uint8_t kTypeTimeExceeded = 11;

void PutLittleEndian16(std::uint8_t* at, std::uint16_t value)
{
    at[0] = static_cast<std::uint8_t>(value & 0xFF);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

std::uint16_t LittleEndian16(const std::uint8_t* at)
{
    return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

// Addresses are compared in the byte order they travel in.
in_addr AddressAt(const std::uint8_t* at)
{
    in_addr address{};
    std::memcpy(&address.s_addr, at, sizeof address.s_addr);
    return address;
}

// `header` points at least 8 readable bytes of an echo message.
bool CarriesOurNumbers(const std::uint8_t* header, const EchoExpectation& expected)
{
    return LittleEndian16(header + 4) == expected.identifier &&
           LittleEndian16(header + 6) == expected.sequence;
}

std::size_t IpHeaderLength(std::uint8_t firstByte)
{
    return static_cast<std::size_t>(firstByte & 0x0F) * 4;
}

// The part of a report after its ICMP header: the IPv4 header of the datagram
// it refers to, with its own length, then at least the first 8 bytes of that
// datagram's ICMP message.
bool QuotesOurRequest(const std::uint8_t* quote, std::size_t length,
                      const EchoExpectation& expected)
{
    if (length < kIpHeaderMinSize) {
        return false;
    }
    const std::size_t headerLength = IpHeaderLength(quote[0]);
    if (headerLength < kIpHeaderMinSize || length < headerLength + kIcmpHeaderSize) {
        return false;
    }
    const std::uint8_t* echo = quote + headerLength;
    return quote[9] == kIpProtocolIcmp &&
           IpAddress(AddressAt(quote + 16)) == expected.destination &&
           echo[0] == kTypeEchoRequest && CarriesOurNumbers(echo, expected);
}

} // namespace

std::uint16_t InternetChecksum(const std::uint8_t* bytes, std::size_t length)
{
    std::uint32_t sum = 0;
    std::size_t i = 0;
    for (; i + 1 < length; i += 2) {
        sum += static_cast<std::uint32_t>((bytes[i] << 8) | bytes[i + 1]);
        // Folding as we go keeps the sum from overflowing on any length.
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    if (i < length) {
        sum += static_cast<std::uint32_t>(bytes[i] << 8);
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return static_cast<std::uint16_t>(~sum & 0xFFFF);
}

EchoRequest BuildEchoRequest(std::uint16_t identifier, std::uint16_t sequence,
                             std::uint32_t tickCount, std::string_view payload)
{
    EchoRequest request{};
    request[0] = kTypeEchoRequest;
    PutLittleEndian16(&request[4], identifier);
    PutLittleEndian16(&request[6], sequence);
    for (std::size_t i = 0; i < 4; ++i) {
        request[8 + i] = static_cast<std::uint8_t>(tickCount >> (8 * i));
    }
    constexpr std::size_t payloadStart = 20;
    const std::size_t taken = std::min(payload.size(), kEchoRequestSize - payloadStart);
    const auto payloadEnd = std::copy_n(
        payload.begin(), taken, request.begin() + static_cast<std::ptrdiff_t>(payloadStart));
    std::fill(payloadEnd, request.end(), kPayloadFill);
    const std::uint16_t checksum = InternetChecksum(request.data(), request.size());
    request[2] = static_cast<std::uint8_t>(checksum >> 8);
    request[3] = static_cast<std::uint8_t>(checksum & 0xFF);
    return request;
}

std::optional<std::uint16_t> SequenceAnswered(const std::uint8_t* bytes, std::size_t length,
                                              const DatagramFraming& framing)
{
    std::size_t icmpStart = 0;
    if (framing.ipHeaderInFront) {
        if (length < kIpHeaderMinSize) {
            return std::nullopt;
        }
        icmpStart = IpHeaderLength(bytes[0]);
    }
    if (length < icmpStart + kIcmpHeaderSize) {
        return std::nullopt;
    }
    const std::uint8_t* icmp = bytes + icmpStart;
    if (icmp[0] == kTypeEchoReply) {
        return LittleEndian16(icmp + 6);
    }
    if (icmp[0] != kTypeUnreachable && icmp[0] != kTypeTimeExceeded) {
        return std::nullopt;
    }
    const std::size_t quoteStart = icmpStart + kIcmpHeaderSize;
    if (length < quoteStart + kIpHeaderMinSize) {
        return std::nullopt;
    }
    const std::size_t echoStart = quoteStart + IpHeaderLength(bytes[quoteStart]);
    if (length < echoStart + kIcmpHeaderSize) {
        return std::nullopt;
    }
    return LittleEndian16(bytes + echoStart + 6);
}

std::optional<std::uint16_t> SequenceAnswered(const ErrorQueueReport& report)
{
    if (report.quotedLength < kIcmpHeaderSize) {
        return std::nullopt;
    }
    return LittleEndian16(report.quoted + 6);
}

std::optional<IcmpAnswer> ExamineDatagram(const std::uint8_t* bytes, std::size_t length,
                                          const EchoExpectation& expected,
                                          const DatagramFraming& framing)
{
    IcmpAnswer answer;
    std::size_t icmpStart = 0;
    if (framing.ipHeaderInFront) {
        if (length < kIpHeaderMinSize) {
            return std::nullopt;
        }
        icmpStart = IpHeaderLength(bytes[0]);
        if (icmpStart < kIpHeaderMinSize) {
            return std::nullopt;
        }
        answer.ttl = bytes[8];
        answer.source = AddressAt(bytes + 12);
        answer.byteCount = static_cast<std::uint32_t>(length);
    } else {
        answer.ttl = framing.ttl;
        answer.source = framing.source;
        answer.byteCount = static_cast<std::uint32_t>(length + kIpHeaderMinSize);
    }
    if (length < icmpStart + kIcmpHeaderSize) {
        return std::nullopt;
    }
    const std::uint8_t* icmp = bytes + icmpStart;
    const std::size_t icmpLength = length - icmpStart;
    answer.messageType = icmp[0];
    answer.sequence = expected.sequence;
    switch (icmp[0]) {
    case kTypeEchoReply:
        if (!(answer.source == expected.destination) || InternetChecksum(icmp, icmpLength) != 0 ||
            !CarriesOurNumbers(icmp, expected)) {
            return std::nullopt;
        }
        answer.status = ReplyKind::EchoReply;
        return answer;
    case kTypeUnreachable:
    case kTypeTimeExceeded:
        if (!QuotesOurRequest(icmp + kIcmpHeaderSize, icmpLength - kIcmpHeaderSize, expected)) {
            return std::nullopt;
        }
        answer.status =
            icmp[0] == kTypeUnreachable ? ReplyKind::Unreachable : ReplyKind::TtlExpired;
        return answer;
    default:
        // Our own request seen on loopback, other programs' traffic,
        // redirects, timestamps and the like.
        return std::nullopt;
    }
}

std::optional<IcmpAnswer> ExamineErrorQueueReport(const ErrorQueueReport& report,
                                                  const EchoExpectation& expected)
{
    if (report.type != kTypeUnreachable && report.type != kTypeTimeExceeded) {
        return std::nullopt;
    }
    if (!(report.quotedDestination == expected.destination) ||
        report.quotedLength < kIcmpHeaderSize || report.quoted[0] != kTypeEchoRequest ||
        !CarriesOurNumbers(report.quoted, expected)) {
        return std::nullopt;
    }
    IcmpAnswer answer;
    answer.status =
        report.type == kTypeUnreachable ? ReplyKind::Unreachable : ReplyKind::TtlExpired;
    answer.messageType = report.type;
    answer.sequence = expected.sequence;
    answer.ttl = report.ttl;
    answer.source = report.reporter;
    answer.byteCount = static_cast<std::uint32_t>(kIpHeaderMinSize + kIcmpHeaderSize +
                                                  kIpHeaderMinSize + report.quotedLength);
    return answer;
}

} // namespace pelmora
