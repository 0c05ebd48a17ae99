// Cycles over 1,000 loopback entries with the real echo probe, beside the
// probe alone: the difference per entry is what the worker adds to a probe.
// Runs inside a private network it makes itself.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/monitor/check_hosts.h"
#include "core/monitor/hand_over_queue.h"
#include "core/monitor/http/http_client.h"
#include "core/monitor/icmp/icmp_client.h"
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
    TIdIcmpClient echo;
    echo.Host = "127.0.0.1";
    echo.OnReply = [](EchoProbe&, const TReplyStatus&) {};
    for (auto _ : state) {
        echo.Echo();
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
    TIdIcmpClient echo;
    TIdHTTP http;
    HandOverQueue handOver;
    NullSink sink;
    TCheckHosts worker(CheckHostsLinks{
        .hosts = hosts,
        .echo = echo,
        .http = http,
        .handOver = handOver,
        .sink = sink,
        .messageText = [](std::string_view key) { return std::string(key); },
    });
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
BENCHMARK(BM_WorkerCycleOverLoopbackEntries)->Unit(benchmark::kMillisecond);

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
