#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/monitor/probing/cycle_prober.h"

namespace pelmora::test {

TReplyStatus ReplyFrom(ReplyKind kind, std::string sourceAddress, std::uint8_t ttl);

// A prober that does what a test scripts for each host, after a scripted
// delay, so probes can end in any order; it records every start as a line of
// text, so a test can compare what the worker asked for.
class FakeProber final : public CycleProber {
public:
    // What a probe comes to and when.
    struct Outcome {
        ProbeAnswer answer;
        std::chrono::milliseconds after{0};
        // Ends only by a stop.
        bool never = false;
    };
    // Runs in Start, on the worker thread; may block it.
    using Action = std::function<Outcome(const ProbeJob&)>;

    // Keyed by the job's host: the name pinged, the web host, the proxy
    // server. Without a script an echo times out, a connect is refused and
    // a proxy stays silent.
    void Script(const std::string& host, Action action);

    void Start(std::size_t entry, const ProbeJob& job) override;
    std::optional<ProbeAnswer> WaitNext(const StopSignal& stop) override;
    void EndCycle() override;

    // "echo <host>", "connect <host>:<port>", "proxy <server>:<port> <request line>".
    std::vector<std::string> Calls() const;
    // The most probes that were running at the same time.
    std::size_t MostInFlight() const;
    // Entries in the order their probes ended.
    std::vector<std::size_t> Ended() const;

    static Action Echo(TReplyStatus status);
    static Action Connected();
    static Action ProxyStatus(int code);
    static Action Fail(std::string message);
    static Action Never();
    static Action After(std::chrono::milliseconds delay, Action action);
    // The answer of `action`, telling that it took `roundTrip`.
    static Action TakingRoundTrip(std::chrono::microseconds roundTrip, Action action);
    // One action per start, in turn; the last one for every start after.
    static Action InTurn(std::vector<Action> actions);

private:
    struct Pending {
        std::chrono::steady_clock::time_point due;
        std::uint64_t order = 0;
        Outcome outcome;
    };

    mutable std::mutex mutex_;
    std::map<std::string, Action> script_;
    std::vector<std::string> calls_;
    std::vector<Pending> pending_;
    std::vector<std::size_t> ended_;
    std::uint64_t started_ = 0;
    std::size_t mostInFlight_ = 0;
};

// A point inside a probe where the worker stops until the test lets it go.
class Gate {
public:
    // Worker side: marks the gate as reached and waits (at most 10 s) until
    // it is opened.
    void Pass();
    // Test side.
    bool WaitReached(std::chrono::milliseconds timeout);
    void Open();
    int Passes() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    int passes_ = 0;
    bool open_ = false;
};

} // namespace pelmora::test
