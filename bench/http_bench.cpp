#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <thread>

#include <benchmark/benchmark.h>

#include "core/base/unique_fd.h"
#include "core/monitor/engine/probe_engine.h"
#include "core/monitor/net/stop_signal.h"
#include "core/monitor/probing/probe_plan.h"
#include "support/private_network.h"

namespace pelmora {
namespace {

// A web server that is up: it takes every connection on the loopback address
// of its family (AF_INET or AF_INET6) and drops it.
class AcceptingServer {
public:
    explicit AcceptingServer(int family);
    AcceptingServer(const AcceptingServer&) = delete;
    AcceptingServer& operator=(const AcceptingServer&) = delete;
    ~AcceptingServer();

    std::uint16_t Port() const { return port_; }

private:
    void Run();

    UniqueFd listener_;
    std::uint16_t port_ = 0;
    StopSignal stop_;
    std::thread thread_;
};

AcceptingServer::AcceptingServer(int family)
    : listener_(::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0))
{
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    sockaddr_in6 local6{};
    local6.sin6_family = AF_INET6;
    local6.sin6_addr = in6addr_loopback;
    auto* bound = family == AF_INET6 ? reinterpret_cast<sockaddr*>(&local6)
                                     : reinterpret_cast<sockaddr*>(&local);
    socklen_t size = family == AF_INET6 ? sizeof local6 : sizeof local;
    if (!listener_.Valid() || ::bind(listener_.Get(), bound, size) != 0 ||
        ::listen(listener_.Get(), SOMAXCONN) != 0 ||
        ::getsockname(listener_.Get(), bound, &size) != 0) {
        throw std::runtime_error("cannot listen on loopback");
    }
    port_ = ntohs(family == AF_INET6 ? local6.sin6_port : local.sin_port);
    thread_ = std::thread([this] { Run(); });
}

AcceptingServer::~AcceptingServer()
{
    stop_.Raise();
    thread_.join();
}

void AcceptingServer::Run()
{
    pollfd watched[2] = {{listener_.Get(), POLLIN, 0}, {stop_.Handle(), POLLIN, 0}};
    while (::poll(watched, 2, -1) > 0 && watched[1].revents == 0) {
        const UniqueFd connection(::accept4(listener_.Get(), nullptr, nullptr, SOCK_CLOEXEC));
    }
}

bool InPrivateNetwork(std::string* whyNot)
{
    static std::string reason;
    static const bool entered = test::EnterPrivateNetwork(&reason);
    *whyNot = reason;
    return entered;
}

// One direct check as the check worker runs it for an entry such as
// http://127.0.0.1:<port>/ or http://[::1]:<port>/: plan the probe, connect
// within 3000 ms, close. Both families in the same run, so their rates
// compare.
void BM_DirectHttpCheck(benchmark::State& state, int family)
{
    std::string whyNot;
    if (!InPrivateNetwork(&whyNot)) {
        state.SkipWithError(whyNot.c_str());
        return;
    }
    const AcceptingServer server(family);
    const std::string target =
        std::string(family == AF_INET6 ? "http://[::1]:" : "http://127.0.0.1:") +
        std::to_string(server.Port()) + "/";
    ProbeEngine engine;
    const StopSignal never;
    for (auto _ : state) {
        const ProbePlan plan = PlanProbe(target, "");
        engine.Start(0, *plan.job);
        const std::optional<ProbeAnswer> answer = engine.WaitNext(never);
        engine.EndCycle();
        if (answer->failure) {
            state.SkipWithError(answer->failure->c_str());
            break;
        }
    }
    state.counters["checks_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK_CAPTURE(BM_DirectHttpCheck, ipv4, AF_INET)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_DirectHttpCheck, ipv6, AF_INET6)->UseRealTime()->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace pelmora

BENCHMARK_MAIN();
