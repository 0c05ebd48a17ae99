#include "core/monitor/engine/windows/echo_completion.h"

#include <winsock2.h>

#include <iphlpapi.h>

namespace pelmora {
namespace {

constexpr std::uint32_t kIpv4HeaderSize = 20;
constexpr std::uint32_t kIpv6HeaderSize = 40;
constexpr std::uint32_t kIcmpHeaderSize = 8;

struct FamilyTypes {
    std::uint8_t echoReply;
    std::uint8_t unreachable;
    std::uint8_t timeExceeded;
    std::uint32_t ipHeaderSize;
};

constexpr FamilyTypes kIcmp{0, 3, 11, kIpv4HeaderSize};
constexpr FamilyTypes kIcmp6{129, 1, 3, kIpv6HeaderSize};

std::optional<ReplyKind> KindOf(unsigned long ipStatus)
{
    switch (ipStatus) {
    case IP_SUCCESS: return ReplyKind::EchoReply;
    // IPv6 gives the same codes other names (no route, address unreachable,
    // prohibited) and two of its own.
    case IP_DEST_NET_UNREACHABLE:
    case IP_DEST_HOST_UNREACHABLE:
    case IP_DEST_PROT_UNREACHABLE:
    case IP_DEST_PORT_UNREACHABLE:
    case IP_DEST_UNREACHABLE:
    case IP_DEST_SCOPE_MISMATCH: return ReplyKind::Unreachable;
    case IP_TTL_EXPIRED_TRANSIT:
    case IP_TTL_EXPIRED_REASSEM:
    case IP_TIME_EXCEEDED: return ReplyKind::TtlExpired;
    case IP_REQ_TIMED_OUT: return ReplyKind::TimedOut;
    default: return std::nullopt;
    }
}

} // namespace

std::optional<TReplyStatus> ReplyStatusOf(const EchoCompletion& completion, std::uint16_t sequence)
{
    const std::optional<ReplyKind> kind = KindOf(completion.ipStatus);
    if (!kind) {
        return std::nullopt;
    }
    const FamilyTypes& types = completion.family == EchoFamily::V6 ? kIcmp6 : kIcmp;
    TReplyStatus status;
    status.SequenceNumber = sequence;
    status.Status = *kind;
    switch (*kind) {
    case ReplyKind::TimedOut: status.SourceAddress = "0.0.0.0"; return status;
    case ReplyKind::EchoReply:
        status.MessageType = types.echoReply;
        status.ByteCount =
            types.ipHeaderSize + completion.optionsSize + kIcmpHeaderSize + completion.dataSize;
        break;
    default:
        status.MessageType =
            *kind == ReplyKind::Unreachable ? types.unreachable : types.timeExceeded;
        status.ByteCount = types.ipHeaderSize + kIcmpHeaderSize + types.ipHeaderSize +
                           kIcmpHeaderSize + static_cast<std::uint32_t>(kEchoDataSize);
        break;
    }
    status.SourceAddress = completion.source;
    status.Ttl = completion.ttl;
    return status;
}

std::string Ipv4Text(std::uint32_t networkOrder)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(&networkOrder);
    std::string text;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            text += '.';
        }
        text += std::to_string(bytes[i]);
    }
    return text;
}

} // namespace pelmora
