#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <utility>

#include "core/monitor/probing/cycle_prober.h"
#include "core/monitor/worker/check_hosts.h"

namespace pelmora {
class CheckSink;
class HandOver;
class HostList;
} // namespace pelmora

namespace pelmora::test {

// How a scripted host answers one probe.
enum class Answer : std::uint8_t {
    Up,   // an echo reply, a connect, a proxy's 200; 1.25 ms round trip
    Down, // a timeout, a refused connect, a proxy's 502
    // Nothing comes back: the probe ends, down, after the time a real probe
    // waits (1.5 s for an echo, 3 s otherwise), or as soon as the worker is
    // stopped.
    Silent,
};

// Answers the worker's probes from a rule instead of the network, so that
// windows, the worker and benchmarks run without privileges or peers. The
// rule runs on the worker's thread. Answers that come at once end in the
// order their probes started, or, with LastFirst, the probe started last
// first, so the worker has to hold answers until their turn.
class ScriptedProber final : public CycleProber {
public:
    enum class Order : std::uint8_t { AsStarted, LastFirst };
    using Rule = std::function<Answer(const ProbeJob&)>;

    explicit ScriptedProber(Rule rule, Order order = Order::AsStarted);

    void Start(std::size_t entry, const ProbeJob& job) override;
    std::optional<ProbeAnswer> WaitNext(const StopSignal& stop) override;
    void EndCycle() override;

    // How many probes have started since this prober was made.
    std::size_t Started() const { return started_.load(); }

    // What a probe of `job` gets back from a host that answers or not; the
    // name a rule would go by is ProbedName(job).
    static ProbeAnswer AnswerOf(const ProbeJob& job, bool up);

private:
    struct Pending {
        std::chrono::steady_clock::time_point due;
        ProbeAnswer answer;
    };

    Rule rule_;
    Order order_;
    std::deque<ProbeAnswer> ended_;
    std::deque<Pending> silent_;
    std::atomic<std::size_t> started_{0};
};

// Rules. Nobody: every probe fails at once. Loopback: as in a private
// network of the tests' own, loopback names (127.*) answer, the silent test
// address 192.0.2.2 never does, and everything else, a proxy included,
// refuses.
Answer NobodyAnswers(const ProbeJob& job);
Answer LoopbackAnswers(const ProbeJob& job);

// The name a job probes: the proxy request for a proxy or tunnel, otherwise
// the host.
const std::string& ProbedName(const ProbeJob& job);

// A worker's links over a fake prober, with message texts that are their
// keys.
CheckHostsLinks ScriptedLinks(HostList& hosts, CycleProber& prober, HandOver& handOver,
                              CheckSink& sink);

} // namespace pelmora::test
