#include "core/monitor/icmp/icmp_client.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <limits>

#include "core/monitor/icmp/icmp_socket.h"
#include "core/monitor/net/probe_errors.h"
#include "core/monitor/net/resolve_host.h"
#include "core/monitor/net/stop_signal.h"

namespace pelmora {
namespace {

using Clock = std::chrono::steady_clock;

std::uint32_t TickCount(Clock::time_point now)
{
    const auto sinceStart = now.time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count());
}

// Echo requests are told apart from other programs' by the low 16 bits of
// the process identifier.
std::uint16_t ProcessIdentifier()
{
    return static_cast<std::uint16_t>(static_cast<unsigned>(::getpid()) & 0xFFFF);
}

TReplyStatus TimeoutStatus(std::uint16_t sequence)
{
    TReplyStatus status;
    status.SourceAddress = "0.0.0.0";
    status.SequenceNumber = sequence;
    status.Status = ReplyKind::TimedOut;
    return status;
}

TReplyStatus StatusOf(const IcmpAnswer& answer)
{
    TReplyStatus status;
    status.ByteCount = answer.byteCount;
    status.SourceAddress = DottedDecimal(answer.source);
    status.MessageType = answer.messageType;
    status.SequenceNumber = answer.sequence;
    status.Ttl = answer.ttl;
    status.Status = answer.status;
    return status;
}

// Whole milliseconds left until `deadline`, rounded up so that a wait for them
// does not end just short of it, and never more than the whole `budget`: a
// clock that went back must not stretch one wait beyond it.
int MillisecondsUntil(Clock::time_point deadline, Clock::time_point now,
                      std::chrono::milliseconds budget)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
    return static_cast<int>(std::min(left, budget).count());
}

// The time from `from` to `to` in whole milliseconds, at least 0 and at most
// `limit`, whatever the clock did in between.
std::chrono::milliseconds Between(Clock::time_point from, Clock::time_point to,
                                  std::chrono::milliseconds limit)
{
    const auto span = std::chrono::duration_cast<std::chrono::milliseconds>(to - from);
    return std::clamp(span, std::chrono::milliseconds::zero(), limit);
}

} // namespace

void TIdIcmpClient::Echo(std::string_view payload, std::uint16_t sequence)
{
    if (sequence != 0) {
        nextSequence_ = sequence;
    }
    ThrowIfAborted();
    const EchoRequest request =
        BuildEchoRequest(ProcessIdentifier(), nextSequence_, TickCount(Now()), payload);
    const Clock::time_point start = Now();
    EchoExpectation expected;
    expected.destination = ResolveHost(Host);
    expected.sequence = nextSequence_;
    std::optional<IcmpAnswer> answer;
    Clock::time_point waitStart;
    {
        IcmpSocket socket = IcmpSocket::Open(Protocol);
        socket.SetTtl(kTimeToLive);
        expected.identifier = socket.Send(request, expected.destination, Port);
        waitStart = Now();
        answer = WaitForAnswer(socket, expected);
    }
    const Clock::time_point end = Now();
    replyStatus_ = answer ? StatusOf(*answer) : TimeoutStatus(nextSequence_);
    // The wait never lasts longer than its budget, so a clock that jumped
    // during it shows neither a negative nor an hours-long round trip.
    const auto budget = std::chrono::milliseconds(std::max(ReceiveTimeout, 0));
    const auto mostMs = std::chrono::milliseconds(std::numeric_limits<std::uint32_t>::max());
    const auto roundTrip = Between(start, waitStart, mostMs) + Between(waitStart, end, budget);
    replyStatus_.RoundTripMs = static_cast<std::uint32_t>(std::min(roundTrip, mostMs).count());
    if (OnReply) {
        OnReply(*this, replyStatus_);
    }
    nextSequence_ = static_cast<std::uint16_t>(nextSequence_ + 1);
}

std::optional<IcmpAnswer> TIdIcmpClient::WaitForAnswer(IcmpSocket& socket,
                                                       const EchoExpectation& expected) const
{
    // One budget for the whole wait, however many other datagrams arrive.
    const auto budget = std::chrono::milliseconds(ReceiveTimeout);
    const Clock::time_point deadline = Now() + budget;
    pollfd watched[2] = {{socket.Fd(), POLLIN, 0}, {Abort ? Abort->Fd() : -1, POLLIN, 0}};
    while (true) {
        const int left = MillisecondsUntil(deadline, Now(), budget);
        if (left <= 0) {
            return std::nullopt;
        }
        const int ready = ::poll(watched, 2, left);
        ThrowIfAborted();
        // poll times itself with the kernel's monotonic clock: once it has
        // waited all that was left, the wait is over whatever Now() says. A
        // wait that itself fails counts as a wait in which nothing came.
        if (ready == 0 || (ready < 0 && errno != EINTR)) {
            return std::nullopt;
        }
        if (ready > 0 && watched[0].revents != 0) {
            if (auto answer = socket.ReceiveOne(expected)) {
                return answer;
            }
        }
    }
}

void TIdIcmpClient::ThrowIfAborted() const
{
    if (Abort != nullptr && Abort->IsRaised()) {
        throw EIdAborted();
    }
}

} // namespace pelmora
