#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "core/monitor/echo_probe.h"
#include "core/monitor/icmp/icmp_packet.h"

namespace pelmora {

class IcmpSocket;

// ICMP echo client: one echo request per call, a wait of at most
// ReceiveTimeout for the answer to that request, and the reply status handed
// to OnReply. Used by one thread at a time.
class TIdIcmpClient : public EchoProbe {
public:
    static constexpr std::uint16_t kFirstSequence = 3489;
    static constexpr int kTimeToLive = 128;

    using EchoProbe::Echo;
    // A non-zero `sequence` first replaces NextSequence. Throws EIdException
    // errors (EIdAborted on a stop request); NextSequence advances only after
    // a completed call.
    void Echo(std::string_view payload, std::uint16_t sequence) override;

    std::uint16_t NextSequence() const { return nextSequence_; }
    // The status handed to the last reply event.
    const TReplyStatus& ReplyStatus() const { return replyStatus_; }

    // IP protocol number of the socket.
    int Protocol = 1;
    // Port of the destination address of the send; no meaning for ICMP.
    std::uint16_t Port = 0;
    // The clock that times the wait and the round trip. Monotonic by default;
    // replaceable so that a clock that jumps can be tried out.
    std::function<std::chrono::steady_clock::time_point()> Now = &std::chrono::steady_clock::now;

private:
    // Waits for the datagram that answers `expected` for at most
    // ReceiveTimeout in all; nothing when none arrives in time.
    std::optional<IcmpAnswer> WaitForAnswer(IcmpSocket& socket,
                                            const EchoExpectation& expected) const;
    void ThrowIfAborted() const;

    std::uint16_t nextSequence_ = kFirstSequence;
    TReplyStatus replyStatus_;
};

} // namespace pelmora
