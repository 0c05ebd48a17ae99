#include <cstddef>
#include <string>

#include <benchmark/benchmark.h>

#include "core/monitor/icmp/icmp_client.h"
#include "core/monitor/net/probe_errors.h"
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

// One echo probe as the check worker runs it for an IP entry, answered by
// the kernel on loopback: resolve, open the socket, send, wait, close, report.
void BM_LoopbackEcho(benchmark::State& state)
{
    std::string whyNot;
    if (!InPrivateNetwork(&whyNot)) {
        state.SkipWithError(whyNot.c_str());
        return;
    }
    TIdIcmpClient probe;
    probe.Host = "127.0.0.1";
    std::size_t answered = 0;
    probe.OnReply = [&answered](EchoProbe&, const TReplyStatus& status) {
        answered += status.Status == ReplyKind::EchoReply ? 1 : 0;
    };
    for (auto _ : state) {
        try {
            probe.Echo();
        } catch (const EIdException& error) {
            state.SkipWithError(error.what());
            break;
        }
    }
    if (answered != static_cast<std::size_t>(state.iterations())) {
        state.SkipWithError("a probe went unanswered");
    }
    state.counters["probes_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LoopbackEcho)->UseRealTime()->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace pelmora

BENCHMARK_MAIN();
