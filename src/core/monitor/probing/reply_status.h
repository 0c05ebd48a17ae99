#pragma once

#include <cstdint>
#include <string>

namespace pelmora {

enum class ReplyKind : std::uint8_t {
    EchoReply = 0,
    Error = 1,
    TimedOut = 2,
    Unreachable = 3,
    TtlExpired = 4,
};

// What one echo request found out.
struct TReplyStatus {
    std::uint32_t ByteCount = 0;
    std::string SourceAddress;
    std::uint8_t MessageType = 0;
    std::uint16_t SequenceNumber = 0;
    std::uint32_t RoundTripMs = 0;
    std::uint8_t Ttl = 0;
    ReplyKind Status = ReplyKind::EchoReply;
};

} // namespace pelmora
