#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace pelmora {

class StopSignal;

enum class ReplyKind : std::uint8_t {
    EchoReply = 0,
    Error = 1,
    TimedOut = 2,
    Unreachable = 3,
    TtlExpired = 4,
};

// What one echo call found out.
struct TReplyStatus {
    std::uint32_t ByteCount = 0;
    std::string SourceAddress;
    std::uint8_t MessageType = 0;
    std::uint16_t SequenceNumber = 0;
    std::uint32_t RoundTripMs = 0;
    std::uint8_t Ttl = 0;
    ReplyKind Status = ReplyKind::EchoReply;
};

// What the check worker needs of an ICMP echo client: set Host, call Echo,
// and receive the reply status through OnReply before Echo returns.
// Failures are EIdException errors; OnReply does not run then.
class EchoProbe {
public:
    using ReplyEvent = std::function<void(EchoProbe& sender, const TReplyStatus& status)>;

    EchoProbe() = default;
    EchoProbe(const EchoProbe&) = delete;
    EchoProbe& operator=(const EchoProbe&) = delete;
    virtual ~EchoProbe() = default;

    virtual void Echo(std::string_view payload, std::uint16_t sequence) = 0;
    void Echo() { Echo({}, 0); }

    std::string Host;
    int ReceiveTimeout = 1500;
    ReplyEvent OnReply;
    // When raised, a running Echo gives up at once with EIdAborted.
    const StopSignal* Abort = nullptr;
};

} // namespace pelmora
