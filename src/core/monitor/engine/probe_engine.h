#pragma once

#include <netinet/in.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <queue>
#include <unordered_map>
#include <vector>

#include "core/base/unique_fd.h"
#include "core/monitor/engine/echo_requests.h"
#include "core/monitor/engine/name_lookups.h"
#include "core/monitor/engine/tcp_exchange.h"
#include "core/monitor/probing/cycle_prober.h"

namespace pelmora {

// How long a probe may take, counted from its start, the name lookup
// included. The defaults are the program's; tests that only wait for a
// limit to pass give shorter ones.
struct ProbeLimits {
    std::chrono::milliseconds echo{1500};
    std::chrono::milliseconds connect{3000};
    // Silence while sending to a proxy or waiting for its answer.
    std::chrono::milliseconds read{3000};
};

// The probes of a cycle, all in flight at once in the thread that drives
// them: every echo request over the cycle's one ICMP socket (and one ICMPv6
// socket, opened only when an IPv6 address is pinged), every web probe
// on a non-blocking socket, all waited for in one epoll set, with names
// looked up by NameLookups. Each probe keeps its own limits (ProbeLimits).
//
// A probe that finds no descriptor free waits until another probe has ended
// and then tries again; only when no other probe is left does it fail.
class ProbeEngine final : public CycleProber {
public:
    using Clock = std::chrono::steady_clock;

    explicit ProbeEngine(ProbeLimits limits = {});

    void Start(std::size_t entry, const ProbeJob& job) override;
    std::optional<ProbeAnswer> WaitNext(const StopSignal& stop) override;
    void EndCycle() override;

private:
    enum class Phase : std::uint8_t {
        Resolving,
        WaitingForDescriptor,
        // An echo request waiting for its turn to be sent.
        Queued,
        // An echo request sent and waiting for its answer.
        Waiting,
        // A web probe on its connection.
        Exchanging,
    };

    struct Probe {
        ProbeJob job;
        Phase phase = Phase::Resolving;
        std::uint64_t ticket = 0;
        Clock::time_point start;
        // When the request went out or the connect began: the round trip
        // counts from here.
        Clock::time_point sent;
        Clock::time_point deadline;
        IpAddress address;
        std::uint16_t sequence = 0;
        std::unique_ptr<TcpExchange> tcp;
    };

    struct Deadline {
        Clock::time_point at;
        std::size_t entry = 0;
        std::uint64_t ticket = 0;
        bool operator>(const Deadline& other) const { return at > other.at; }
    };

    void SetDeadline(std::size_t entry, Probe& probe, Clock::time_point at);
    void Resolved(std::size_t entry, Probe& probe);
    void Connect(std::size_t entry, Probe& probe);
    void SendQueuedEchoes(Clock::time_point now);
    // Waits for no descriptor, or gives up when no other probe could free one.
    void NoDescriptor(std::size_t entry, Probe& probe);
    void RetryWaitingForDescriptors();
    void ExpireDeadlines(Clock::time_point now);
    void Wait(const StopSignal& stop, int timeoutMs);
    void TakeLookups();
    // The echo requests of one address family, with their socket's state
    // in the epoll set.
    struct EchoChannel {
        EchoRequests requests;
        std::uint64_t tag = 0;
        bool watched = false;
        bool moreAnswers = false;
    };
    EchoChannel& EchoesFor(const IpAddress& address);

    void TakeEchoAnswers(EchoChannel& channel);
    void Exchange(std::size_t entry);
    void FailWaitingEchoes(EchoChannel& channel, const std::string& text);
    void Finish(std::size_t entry, ProbeAnswer answer);
    void Fail(std::size_t entry, std::string text);
    int MillisecondsToNextEvent(Clock::time_point now) const;
    Probe* Find(std::size_t entry);

    ProbeLimits limits_;
    UniqueFd epoll_;
    NameLookups lookups_;
    EchoChannel echoes_;
    EchoChannel echoes6_;

    std::unordered_map<std::size_t, Probe> probes_;
    std::priority_queue<Deadline, std::vector<Deadline>, std::greater<>> deadlines_;
    std::deque<std::size_t> echoQueue_;
    std::deque<std::size_t> waitingForDescriptor_;
    bool descriptorFreed_ = false;
    std::deque<ProbeAnswer> ended_;
    std::uint64_t nextTicket_ = 0;

    // Echo requests that may go out now, and when that was worked out.
    double echoTokens_ = 0;
    Clock::time_point tokensAt_;
};

} // namespace pelmora
