// The check worker's own cost per entry: a fake prober that answers at once,
// so what is measured is the walk over the list, the probe's planning, the
// decision and, where a state changes, the hand-over with its log line and
// report.

#include <benchmark/benchmark.h>

#include <poll.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <deque>
#include <string>
#include <thread>

#include "core/monitor/worker/check_hosts.h"
#include "core/monitor/worker/hand_over_queue.h"
#include "core/monitor/net/stop_signal.h"

namespace pelmora {
namespace {

constexpr std::size_t kEntries = 1000;

// Answers every probe at once; whether the hosts answer is switched between
// cycles.
class InstantProber final : public CycleProber {
public:
    void Start(std::size_t entry, const ProbeJob& job) override
    {
        ProbeAnswer& answer = ended_.emplace_back();
        answer.entry = entry;
        const bool up = answering.load(std::memory_order_relaxed);
        switch (job.kind) {
        case ProbeKind::Echo:
            answer.echo.SourceAddress = "192.0.2.9";
            answer.echo.Ttl = up ? 64 : 0;
            answer.echo.Status = up ? ReplyKind::EchoReply : ReplyKind::TimedOut;
            break;
        case ProbeKind::Connect:
            if (!up) {
                answer.failure = "Socket Error # 10061\r\nConnection refused.";
            }
            break;
        case ProbeKind::Proxy:
        case ProbeKind::Tunnel: answer.proxyStatus = up ? 200 : 502; break;
        }
    }
    std::optional<ProbeAnswer> WaitNext(const StopSignal&) override
    {
        ProbeAnswer answer = std::move(ended_.front());
        ended_.pop_front();
        return answer;
    }
    void EndCycle() override { ended_.clear(); }

    std::atomic<bool> answering{true};

private:
    std::deque<ProbeAnswer> ended_;
};

// Its one probe waits until the worker is stopped, as a 3-second connect
// would.
class WaitingProber final : public CycleProber {
public:
    void Start(std::size_t, const ProbeJob&) override {}
    std::optional<ProbeAnswer> WaitNext(const StopSignal& stop) override
    {
        entered.store(true);
        pollfd wait{stop.Fd(), POLLIN, 0};
        ::poll(&wait, 1, 3000);
        return std::nullopt;
    }
    void EndCycle() override {}
    std::atomic<bool> entered{false};
};

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

struct Bench {
    Bench()
        : worker(CheckHostsLinks{
              .hosts = hosts,
              .prober = prober,
              .handOver = handOver,
              .sink = sink,
              .messageText = [](std::string_view key) { return std::string(key); },
          })
    {
        FillList(hosts);
    }
    void RunCycle()
    {
        worker.Wake();
        handOver.ServeUntil([this] { return worker.IsAsleep(); });
    }

    HostList hosts;
    InstantProber prober;
    HandOverQueue handOver;
    CountingSink sink;
    TCheckHosts worker;
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
        b.prober.answering = answering;
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
        WaitingProber prober;
        HandOverQueue handOver;
        CountingSink sink;
        TCheckHosts worker(CheckHostsLinks{
            .hosts = hosts,
            .prober = prober,
            .handOver = handOver,
            .sink = sink,
            .messageText = [](std::string_view key) { return std::string(key); },
        });
        worker.Wake();
        while (!prober.entered.load()) {
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
