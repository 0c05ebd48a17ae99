#include "monitor/icmp/icmp_client.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "monitor/icmp/icmp_socket.h"
#include "monitor/net/probe_errors.h"
#include "monitor/net/resolve_host.h"
#include "monitor/net/stop_signal.h"

namespace pelmora {
namespace {

using Clock = std::chrono::steady_clock;

std::uint32_t TickCount()
{
    const auto sinceStart = Clock::now().time_since_epoch();
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
// does not end just short of it.
int MillisecondsUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(left.count());
}

} // namespace

void TIdIcmpClient::Echo(std::string_view payload, std::uint16_t sequence)
{
    if (sequence != 0) {
        nextSequence_ = sequence;
    }
    ThrowIfAborted();
    const EchoRequest request =
        BuildEchoRequest(ProcessIdentifier(), nextSequence_, TickCount(), payload);
    const Clock::time_point start = Clock::now();
    EchoExpectation expected;
    expected.destination = ResolveHost(Host);
    expected.sequence = nextSequence_;
    std::optional<IcmpAnswer> answer;
    {
        IcmpSocket socket = IcmpSocket::Open(Protocol);
        socket.SetTtl(kTimeToLive);
        expected.identifier = socket.Send(request, expected.destination, Port);
        answer = WaitForAnswer(socket, expected);
    }
    replyStatus_ = answer ? StatusOf(*answer) : TimeoutStatus(nextSequence_);
    replyStatus_.RoundTripMs = static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
    if (OnReply) {
        OnReply(*this, replyStatus_);
    }
    nextSequence_ = static_cast<std::uint16_t>(nextSequence_ + 1);
}

std::optional<IcmpAnswer> TIdIcmpClient::WaitForAnswer(IcmpSocket& socket,
                                                       const EchoExpectation& expected) const
{
    // One budget for the whole wait, however many other datagrams arrive.
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(ReceiveTimeout);
    pollfd watched[2] = {{socket.Fd(), POLLIN, 0}, {Abort ? Abort->Fd() : -1, POLLIN, 0}};
    while (true) {
        const int left = MillisecondsUntil(deadline);
        if (left <= 0) {
            return std::nullopt;
        }
        const int ready = ::poll(watched, 2, left);
        ThrowIfAborted();
        if (ready < 0 && errno != EINTR) {
            // A wait that itself fails counts as a wait in which nothing came.
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
