#include <cstddef>
#include <string>

#include <benchmark/benchmark.h>

#include "core/monitor/engine/probe_engine.h"
#include "core/monitor/net/stop_signal.h"
#include "support/private_network.h"

namespace pelmora {
namespace {

bool InPrivateNetwork(std::string* whyNot)
{
    static std::string reason;
    static const bool entered = test::EnterPrivateNetwork(&reason);
    *whyNot = reason;
    return entered;
}

// One echo probe as the check worker runs it for a list of one IP entry,
// answered by the kernel on loopback: open the cycle's socket, send, wait,
// report, close. Over IPv4 and IPv6 in the same run, so their rates compare.
void BM_LoopbackEcho(benchmark::State& state, const char* address)
{
    std::string whyNot;
    if (!InPrivateNetwork(&whyNot)) {
        state.SkipWithError(whyNot.c_str());
        return;
    }
    ProbeEngine engine;
    const StopSignal never;
    const ProbeJob job{ProbeKind::Echo, address, 0, {}};
    std::size_t answered = 0;
    for (auto _ : state) {
        engine.Start(0, job);
        const std::optional<ProbeAnswer> answer = engine.WaitNext(never);
        engine.EndCycle();
        if (answer->failure) {
            state.SkipWithError(answer->failure->c_str());
            break;
        }
        answered += answer->echo.Status == ReplyKind::EchoReply ? 1U : 0U;
    }
    if (answered != static_cast<std::size_t>(state.iterations())) {
        state.SkipWithError("a probe went unanswered");
    }
    state.counters["probes_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK_CAPTURE(BM_LoopbackEcho, ipv4, "127.0.0.1")->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_LoopbackEcho, ipv6, "::1")->UseRealTime()->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace pelmora

BENCHMARK_MAIN();
