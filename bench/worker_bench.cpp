// The check worker's own cost per entry: a fake prober that answers at once,
// so what is measured is the walk over the list, the probe's planning, the
// decision and, where a state changes, the hand-over with its log line and
// report.

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>
#include <thread>

#include "core/monitor/worker/check_hosts.h"
#include "core/monitor/worker/hand_over_queue.h"
#include "support/scripted_prober.h"

namespace pelmora {
namespace {

constexpr std::size_t kEntries = 1000;

class CountingSink final : public CheckSink {
public:
    void AppendLogLine(const std::string& line) override { bytes += line.size(); }
    void ShowReport(const std::string& report) override { bytes += report.size(); }
    std::size_t bytes = 0;
};

// A third each of IP, LAN and web entries; every other web entry via a proxy.
void FillList(HostList& hosts)
{
    for (std::size_t i = 0; i < kEntries; ++i) {
        const std::string n = std::to_string(i);
        switch (i % 3) {
        case 0: hosts.Append("host-" + n, ""); break;
        case 1: hosts.Append("//pc-" + n, ""); break;
        default: hosts.Append("http://web-" + n + "/", i % 2 == 0 ? "proxy:3128" : ""); break;
        }
    }
}

// Every probe is answered at once; whether the hosts answer is switched
// between cycles.
struct Bench {
    Bench() { FillList(hosts); }
    void RunCycle()
    {
        worker.Wake();
        handOver.ServeUntil([this] { return worker.IsAsleep(); });
    }

    std::atomic<bool> answering{true};
    HostList hosts;
    test::ScriptedProber prober{[this](const ProbeJob&) {
        return answering.load(std::memory_order_relaxed) ? test::Answer::Up : test::Answer::Down;
    }};
    HandOverQueue handOver;
    CountingSink sink;
    TCheckHosts worker{test::ScriptedLinks(hosts, prober, handOver, sink)};
};

void PerEntry(benchmark::State& state)
{
    state.counters["per_entry"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kEntries,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Every host stays up: no hand-over but the one at the end of the cycle.
void BM_CycleWithoutChanges(benchmark::State& state)
{
    Bench b;
    b.RunCycle();
    for (auto _ : state) {
        b.RunCycle();
    }
    PerEntry(state);
    benchmark::DoNotOptimize(b.sink.bytes);
}
BENCHMARK(BM_CycleWithoutChanges)->UseRealTime()->Unit(benchmark::kMillisecond);

// Every host changes in every cycle: one hand-over, log line and report line
// per entry.
void BM_CycleWhereEveryHostChanges(benchmark::State& state)
{
    Bench b;
    bool answering = true;
    for (auto _ : state) {
        b.answering = answering;
        b.RunCycle();
        answering = !answering;
    }
    PerEntry(state);
    benchmark::DoNotOptimize(b.sink.bytes);
}
BENCHMARK(BM_CycleWhereEveryHostChanges)->UseRealTime()->Unit(benchmark::kMillisecond);

// From the stop request to the joined thread, while a probe is waiting.
void BM_StopDuringProbe(benchmark::State& state)
{
    for (auto _ : state) {
        HostList hosts;
        hosts.Append("host", "");
        // Its one probe waits as an unanswered echo would.
        test::ScriptedProber prober([](const ProbeJob&) { return test::Answer::Silent; });
        HandOverQueue handOver;
        CountingSink sink;
        TCheckHosts worker(test::ScriptedLinks(hosts, prober, handOver, sink));
        worker.Wake();
        while (prober.Started() == 0) {
            std::this_thread::yield();
        }
        const auto start = std::chrono::steady_clock::now();
        worker.Stop();
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}
BENCHMARK(BM_StopDuringProbe)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(200);

} // namespace
} // namespace pelmora

BENCHMARK_MAIN();
