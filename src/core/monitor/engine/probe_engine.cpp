#include "core/monitor/engine/probe_engine.h"

#include <poll.h>
#include <sys/epoll.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <limits>
#include <string>
#include <system_error>
#include <utility>

#include "core/monitor/net/probe_errors.h"
#include "core/monitor/net/resolve_host.h"
#include "core/monitor/net/socket_error.h"
#include "core/monitor/net/stop_signal.h"

namespace pelmora {
namespace {

using Clock = ProbeEngine::Clock;

// The echo requests go out at most 16 per millisecond on average (16,000 a
// second, about what fping sends at its shortest interval), in bursts of at
// most 32: enough for ten thousand hosts in well under a second, and well
// below what a home router takes in. A flood of requests all at once would
// only have the first hop or the far side's ICMP rate limit drop some, and
// those hosts would wrongly count as down.
constexpr double kEchoesPerMillisecond = 16;
constexpr double kEchoBurst = 32;

// Datagrams taken off the ICMP socket in one go before deadlines are
// looked at again, so that a flood of foreign ones cannot hold them up.
constexpr std::size_t kDatagramsPerTurn = 256;

// Tags of the epoll set; a web probe's socket carries its entry after them.
constexpr std::uint64_t kLookupsTag = 0;
constexpr std::uint64_t kEchoTag = 1;
constexpr std::uint64_t kEcho6Tag = 2;
constexpr std::uint64_t kFirstEntryTag = 3;

int MillisecondsUntil(Clock::time_point at, Clock::time_point now)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(at - now).count();
    return static_cast<int>(std::clamp<long long>(left, 0, std::numeric_limits<int>::max()));
}

std::uint32_t MillisecondsBetween(Clock::time_point from, Clock::time_point to)
{
    const auto span = std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count();
    return static_cast<std::uint32_t>(
        std::clamp<long long>(span, 0, std::numeric_limits<std::uint32_t>::max()));
}

std::chrono::microseconds MicrosecondsSince(Clock::time_point from)
{
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - from);
}

TReplyStatus StatusOf(const IcmpAnswer& answer)
{
    TReplyStatus status;
    status.ByteCount = answer.byteCount;
    status.SourceAddress = AddressText(answer.source);
    status.MessageType = answer.messageType;
    status.SequenceNumber = answer.sequence;
    status.Ttl = answer.ttl;
    status.Status = answer.status;
    return status;
}

TReplyStatus TimeoutStatus(std::uint16_t sequence)
{
    TReplyStatus status;
    status.SourceAddress = "0.0.0.0";
    status.SequenceNumber = sequence;
    status.Status = ReplyKind::TimedOut;
    return status;
}

void Watch(int epoll, int fd, std::uint32_t events, std::uint64_t tag, int operation)
{
    epoll_event event{};
    event.events = events;
    event.data.u64 = tag;
    if (::epoll_ctl(epoll, operation, fd, &event) != 0) {
        ThrowSocketError(errno);
    }
}

} // namespace

ProbeEngine::ProbeEngine(ProbeLimits limits)
    : limits_(limits), epoll_(::epoll_create1(EPOLL_CLOEXEC)),
      echoes_{EchoRequests(AF_INET), kEchoTag}, echoes6_{EchoRequests(AF_INET6), kEcho6Tag}
{
    if (!epoll_.Valid()) {
        throw std::system_error(errno, std::generic_category(), "epoll_create1");
    }
    Watch(epoll_.Get(), lookups_.Fd(), EPOLLIN, kLookupsTag, EPOLL_CTL_ADD);
}

void ProbeEngine::Start(std::size_t entry, const ProbeJob& job)
{
    const Clock::time_point now = Clock::now();
    Probe& probe = probes_[entry];
    probe = Probe{};
    probe.job = job;
    probe.ticket = ++nextTicket_;
    probe.start = now;
    SetDeadline(entry, probe, now + (job.kind == ProbeKind::Echo ? limits_.echo : limits_.connect));
    if (const auto known = AddressWithoutLookup(job.host)) {
        probe.address = *known;
        Resolved(entry, probe);
        return;
    }
    lookups_.Start(entry, probe.ticket, job.host);
}

std::optional<ProbeAnswer> ProbeEngine::WaitNext(const StopSignal& stop)
{
    while (true) {
        if (!ended_.empty()) {
            ProbeAnswer answer = std::move(ended_.front());
            ended_.pop_front();
            return answer;
        }
        if (stop.IsRaised()) {
            return std::nullopt;
        }
        const Clock::time_point now = Clock::now();
        ExpireDeadlines(now);
        if (descriptorFreed_) {
            descriptorFreed_ = false;
            RetryWaitingForDescriptors();
        }
        SendQueuedEchoes(now);
        if (ended_.empty()) {
            Wait(stop, MillisecondsToNextEvent(Clock::now()));
        }
    }
}

void ProbeEngine::EndCycle()
{
    probes_.clear();
    deadlines_ = {};
    echoQueue_.clear();
    waitingForDescriptor_.clear();
    ended_.clear();
    lookups_.AbandonAll();
    for (EchoChannel* channel : {&echoes_, &echoes6_}) {
        channel->requests.Close();
        channel->watched = false;
        channel->moreAnswers = false;
    }
    descriptorFreed_ = false;
}

void ProbeEngine::SetDeadline(std::size_t entry, Probe& probe, Clock::time_point at)
{
    probe.deadline = at;
    deadlines_.push(Deadline{at, entry, probe.ticket});
}

void ProbeEngine::Resolved(std::size_t entry, Probe& probe)
{
    if (probe.job.kind == ProbeKind::Echo) {
        probe.phase = Phase::Queued;
        echoQueue_.push_back(entry);
        return;
    }
    Connect(entry, probe);
}

void ProbeEngine::Connect(std::size_t entry, Probe& probe)
{
    UniqueFd socket = TcpExchange::OpenSocket(probe.address.family);
    if (!socket.Valid()) {
        if (errno == EMFILE || errno == ENFILE) {
            NoDescriptor(entry, probe);
        } else {
            Fail(entry, kCannotAllocateSocket);
        }
        return;
    }
    try {
        probe.sent = Clock::now();
        probe.tcp = std::make_unique<TcpExchange>(std::move(socket), probe.address, probe.job.port,
                                                  probe.job.request);
        Watch(epoll_.Get(), probe.tcp->Fd(), probe.tcp->Events(), kFirstEntryTag + entry,
              EPOLL_CTL_ADD);
        probe.phase = Phase::Exchanging;
    } catch (const EIdException& error) {
        Fail(entry, error.what());
    }
}

void ProbeEngine::SendQueuedEchoes(Clock::time_point now)
{
    const std::chrono::duration<double, std::milli> since = now - tokensAt_;
    echoTokens_ = std::min(kEchoBurst, echoTokens_ + since.count() * kEchoesPerMillisecond);
    tokensAt_ = now;
    while (!echoQueue_.empty() && echoTokens_ >= 1) {
        const std::size_t entry = echoQueue_.front();
        Probe* probe = Find(entry);
        if (probe == nullptr || probe->phase != Phase::Queued) {
            echoQueue_.pop_front();
            continue;
        }
        EchoChannel& channel = EchoesFor(probe->address);
        try {
            const std::optional<std::uint16_t> sequence =
                channel.requests.Send(entry, probe->address);
            if (!sequence) {
                // Every sequence number is in flight: wait for answers.
                return;
            }
            echoQueue_.pop_front();
            echoTokens_ -= 1;
            probe->phase = Phase::Waiting;
            probe->sequence = *sequence;
            probe->sent = Clock::now();
            if (!channel.watched) {
                Watch(epoll_.Get(), channel.requests.Fd(), EPOLLIN, channel.tag, EPOLL_CTL_ADD);
                channel.watched = true;
            }
        } catch (const EIdNoDescriptor&) {
            echoQueue_.pop_front();
            NoDescriptor(entry, *probe);
        } catch (const EIdIcmpNotPermitted& error) {
            echoQueue_.pop_front();
            ProbeAnswer answer;
            answer.failure = error.what();
            answer.icmpNotPermitted = true;
            Finish(entry, std::move(answer));
        } catch (const EIdException& error) {
            echoQueue_.pop_front();
            Fail(entry, error.what());
        }
    }
}

void ProbeEngine::NoDescriptor(std::size_t entry, Probe& probe)
{
    const std::size_t others = probes_.size() - waitingForDescriptor_.size() - 1;
    if (others == 0) {
        Fail(entry, kCannotAllocateSocket);
        return;
    }
    probe.phase = Phase::WaitingForDescriptor;
    waitingForDescriptor_.push_back(entry);
}

void ProbeEngine::RetryWaitingForDescriptors()
{
    std::deque<std::size_t> waiting = std::exchange(waitingForDescriptor_, {});
    for (const std::size_t entry : waiting) {
        Probe* probe = Find(entry);
        if (probe == nullptr || probe->phase != Phase::WaitingForDescriptor) {
            continue;
        }
        probe->phase = Phase::Resolving;
        Resolved(entry, *probe);
    }
}

void ProbeEngine::ExpireDeadlines(Clock::time_point now)
{
    while (!deadlines_.empty() && deadlines_.top().at <= now) {
        const Deadline due = deadlines_.top();
        deadlines_.pop();
        Probe* probe = Find(due.entry);
        if (probe == nullptr || probe->ticket != due.ticket || probe->deadline != due.at) {
            continue;
        }
        if (probe->job.kind == ProbeKind::Echo) {
            ProbeAnswer answer;
            answer.echo =
                TimeoutStatus(probe->phase == Phase::Waiting ? probe->sequence : std::uint16_t{0});
            answer.echo.RoundTripMs = MillisecondsBetween(probe->start, now);
            Finish(due.entry, std::move(answer));
        } else if (probe->tcp && probe->tcp->Now() != TcpExchange::Step::Connecting) {
            Fail(due.entry, EIdReadTimeout().what());
        } else {
            Fail(due.entry, EIdConnectTimeout().what());
        }
    }
}

void ProbeEngine::Wait(const StopSignal& stop, int timeoutMs)
{
    std::array<pollfd, 2> watched = {{{epoll_.Get(), POLLIN, 0}, {stop.Handle(), POLLIN, 0}}};
    const bool moreAnswers = echoes_.moreAnswers || echoes6_.moreAnswers;
    const int ready = ::poll(watched.data(), watched.size(), moreAnswers ? 0 : timeoutMs);
    if (ready < 0 || watched[1].revents != 0) {
        return;
    }
    for (EchoChannel* channel : {&echoes_, &echoes6_}) {
        if (channel->moreAnswers) {
            TakeEchoAnswers(*channel);
        }
    }
    if (watched[0].revents == 0) {
        return;
    }
    std::array<epoll_event, 128> events{};
    const int count = ::epoll_wait(epoll_.Get(), events.data(), static_cast<int>(events.size()), 0);
    for (int i = 0; i < count; ++i) {
        const std::uint64_t tag = events[static_cast<std::size_t>(i)].data.u64;
        if (tag == kLookupsTag) {
            TakeLookups();
        } else if (tag == kEchoTag) {
            TakeEchoAnswers(echoes_);
        } else if (tag == kEcho6Tag) {
            TakeEchoAnswers(echoes6_);
        } else {
            Exchange(static_cast<std::size_t>(tag - kFirstEntryTag));
        }
    }
}

void ProbeEngine::TakeLookups()
{
    for (const LookupAnswer& answer : lookups_.Take()) {
        Probe* probe = Find(answer.entry);
        if (probe == nullptr || probe->ticket != answer.ticket ||
            probe->phase != Phase::Resolving) {
            continue;
        }
        if (answer.address) {
            probe->address = *answer.address;
            Resolved(answer.entry, *probe);
        } else {
            Fail(answer.entry, SocketErrorMessage(kWsaHostNotFound));
        }
    }
}

ProbeEngine::EchoChannel& ProbeEngine::EchoesFor(const IpAddress& address)
{
    return address.IsV6() ? echoes6_ : echoes_;
}

void ProbeEngine::TakeEchoAnswers(EchoChannel& channel)
{
    const Clock::time_point now = Clock::now();
    try {
        channel.moreAnswers = channel.requests.Receive(
            kDatagramsPerTurn, [this, now](std::size_t entry, const IcmpAnswer& got) {
                const Probe* probe = Find(entry);
                if (probe == nullptr) {
                    return;
                }
                ProbeAnswer answer;
                answer.echo = StatusOf(got);
                answer.echo.RoundTripMs = MillisecondsBetween(probe->start, now);
                answer.roundTrip = MicrosecondsSince(probe->sent);
                Finish(entry, std::move(answer));
            });
    } catch (const EIdException& error) {
        channel.moreAnswers = false;
        FailWaitingEchoes(channel, error.what());
    }
}

void ProbeEngine::Exchange(std::size_t entry)
{
    Probe* probe = Find(entry);
    if (probe == nullptr || probe->phase != Phase::Exchanging) {
        return;
    }
    TcpExchange& tcp = *probe->tcp;
    const std::uint32_t before = tcp.Events();
    try {
        tcp.Advance();
        if (tcp.Now() == TcpExchange::Step::Done) {
            ProbeAnswer answer;
            answer.proxyStatus = probe->job.kind == ProbeKind::Connect ? 0 : tcp.StatusCode();
            answer.roundTrip = MicrosecondsSince(probe->sent);
            Finish(entry, std::move(answer));
            return;
        }
        if (tcp.Events() != before) {
            Watch(epoll_.Get(), tcp.Fd(), tcp.Events(), kFirstEntryTag + entry, EPOLL_CTL_MOD);
        }
    } catch (const EIdException& error) {
        Fail(entry, error.what());
        return;
    }
    // Connected: from now on each wait for the proxy lasts at most the read
    // limit.
    if (tcp.Now() != TcpExchange::Step::Connecting) {
        SetDeadline(entry, *probe, Clock::now() + limits_.read);
    }
}

void ProbeEngine::FailWaitingEchoes(EchoChannel& channel, const std::string& text)
{
    std::vector<std::size_t> waiting;
    for (const auto& [entry, probe] : probes_) {
        if (probe.phase == Phase::Waiting && &EchoesFor(probe.address) == &channel) {
            waiting.push_back(entry);
        }
    }
    for (const std::size_t entry : waiting) {
        Fail(entry, text);
    }
    channel.requests.Close();
    channel.watched = false;
}

void ProbeEngine::Finish(std::size_t entry, ProbeAnswer answer)
{
    const auto found = probes_.find(entry);
    if (found == probes_.end()) {
        return;
    }
    if (found->second.phase == Phase::Waiting) {
        EchoesFor(found->second.address).requests.Forget(found->second.sequence);
    }
    probes_.erase(found);
    descriptorFreed_ = true;
    answer.entry = entry;
    ended_.push_back(std::move(answer));
}

void ProbeEngine::Fail(std::size_t entry, std::string text)
{
    ProbeAnswer answer;
    answer.failure = std::move(text);
    Finish(entry, std::move(answer));
}

int ProbeEngine::MillisecondsToNextEvent(Clock::time_point now) const
{
    if (descriptorFreed_ && !waitingForDescriptor_.empty()) {
        return 0;
    }
    std::optional<Clock::time_point> next;
    if (!deadlines_.empty()) {
        next = deadlines_.top().at;
    }
    if (!echoQueue_.empty()) {
        const auto refilled = std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double, std::milli>((1 - echoTokens_) / kEchoesPerMillisecond));
        next = std::min(next.value_or(Clock::time_point::max()), tokensAt_ + refilled);
    }
    return next ? MillisecondsUntil(*next, now) : -1;
}

ProbeEngine::Probe* ProbeEngine::Find(std::size_t entry)
{
    const auto found = probes_.find(entry);
    return found == probes_.end() ? nullptr : &found->second;
}

} // namespace pelmora
