#include "core/monitor/engine/echo_requests.h"

#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <limits>

#include "core/monitor/icmp/icmp6_packet.h"

namespace pelmora {
namespace {

// Room for the answers to a burst of thousands of requests on a fast link,
// which would overflow the default buffer before the worker reads them.
// Root may go past the system's limit; anyone else gets what it allows.
void WidenReceiveBuffer(int fd)
{
    const int bytes = 4 << 20;
    if (::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &bytes, sizeof bytes) != 0) {
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
    }
}

std::uint32_t TickCount()
{
    const auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count());
}

// Echo requests are told apart from other programs' by the low 16 bits of
// the process identifier (a datagram socket puts its own in their place).
std::uint16_t ProcessIdentifier()
{
    return static_cast<std::uint16_t>(static_cast<unsigned>(::getpid()) & 0xFFFF);
}

} // namespace

EchoRequests::EchoRequests(int family) : family_(family) {}

int EchoRequests::Fd() const
{
    return socket_ ? socket_->Fd() : -1;
}

std::optional<std::uint16_t> EchoRequests::Send(std::size_t entry, const IpAddress& destination)
{
    constexpr std::size_t kSequences = std::numeric_limits<std::uint16_t>::max() + 1;
    if (inFlight_.size() >= kSequences) {
        return std::nullopt;
    }
    while (inFlight_.contains(nextSequence_)) {
        ++nextSequence_;
    }
    if (!socket_) {
        IcmpSocket opened = IcmpSocket::Open(family_);
        opened.SetTtl(kTimeToLive);
        WidenReceiveBuffer(opened.Fd());
        socket_.emplace(std::move(opened));
    }
    const std::uint16_t sequence = nextSequence_;
    const EchoRequest request =
        family_ == AF_INET6 ? BuildEchoRequest6(ProcessIdentifier(), sequence, TickCount(), {})
                            : BuildEchoRequest(ProcessIdentifier(), sequence, TickCount(), {});
    InFlight sent{entry, EchoExpectation{destination, 0, sequence}};
    sent.expected.identifier = socket_->Send(request, destination, 0);
    inFlight_.emplace(sequence, sent);
    ++nextSequence_;
    return sequence;
}

bool EchoRequests::Receive(std::size_t most, const Answered& answered)
{
    if (!socket_) {
        return false;
    }
    const auto lookUp = [this](std::uint16_t sequence) -> const EchoExpectation* {
        const auto found = inFlight_.find(sequence);
        return found == inFlight_.end() ? nullptr : &found->second.expected;
    };
    for (std::size_t taken = 0; taken < most; ++taken) {
        bool empty = false;
        const std::optional<IcmpAnswer> answer = socket_->ReceiveOne(lookUp, &empty);
        if (empty) {
            return false;
        }
        if (answer) {
            const auto found = inFlight_.find(answer->sequence);
            const std::size_t entry = found->second.entry;
            inFlight_.erase(found);
            answered(entry, *answer);
        }
    }
    return true;
}

void EchoRequests::Forget(std::uint16_t sequence)
{
    inFlight_.erase(sequence);
}

void EchoRequests::Close()
{
    inFlight_.clear();
    socket_.reset();
}

} // namespace pelmora
