// Cycles over 1,000 loopback entries with the real probes, one after another
// and side by side, beside one probe alone: what the worker adds to a probe,
// and what running them side by side saves. Runs inside a private network it
// makes itself.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/monitor/engine/probe_engine.h"
#include "core/monitor/net/stop_signal.h"
#include "core/monitor/probing/parallel_checks.h"
#include "core/monitor/worker/check_hosts.h"
#include "core/monitor/worker/hand_over_queue.h"
#include "support/private_network.h"

namespace pelmora {
namespace {

constexpr int kEntries = 1000;

class NullSink final : public CheckSink {
public:
    void AppendLogLine(const std::string&) override {}
    void ShowReport(const std::string&) override {}
};

void BM_EchoProbeAlone(benchmark::State& state)
{
    ProbeEngine engine;
    const StopSignal never;
    const ProbeJob job{ProbeKind::Echo, "127.0.0.1", 0, {}};
    for (auto _ : state) {
        engine.Start(0, job);
        benchmark::DoNotOptimize(engine.WaitNext(never));
        engine.EndCycle();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EchoProbeAlone)->Unit(benchmark::kMicrosecond);

void BM_WorkerCycleOverLoopbackEntries(benchmark::State& state)
{
    HostList hosts;
    for (int i = 0; i < kEntries; ++i) {
        hosts.Append("127.0.0.1", "");
    }
    ProbeEngine prober;
    HandOverQueue handOver;
    NullSink sink;
    TCheckHosts worker(CheckHostsLinks{
        .hosts = hosts,
        .prober = prober,
        .handOver = handOver,
        .sink = sink,
        .messageText = [](std::string_view key) { return std::string(key); },
    });
    worker.SetParallelLimit(static_cast<std::size_t>(state.range(0)));
    const auto cycle = [&] {
        worker.Wake();
        handOver.ServeUntil([&] { return worker.IsAsleep(); });
    };
    cycle(); // every entry comes up once; later cycles change nothing
    for (auto _ : state) {
        cycle();
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_WorkerCycleOverLoopbackEntries)
    ->Arg(1)
    ->Arg(kDefaultParallelChecks)
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace pelmora

int main(int argc, char** argv)
{
    std::string whyNot;
    if (!pelmora::test::EnterPrivateNetwork(&whyNot)) {
        std::fprintf(stderr, "%s\n", whyNot.c_str());
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
