// The worker over the real probe engine, inside a private network: how long
// stopping takes with many probes in flight or a name lookup that hangs, what
// such a lookup costs the cycle, and what a real proxy's answers come to.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "check_hosts_harness.h"
#include "core/monitor/engine/probe_engine.h"
#include "support/fake_proxy.h"
#include "support/private_mounts.h"
#include "support/private_network.h"
#include "support/temp_dir.h"
#include "support/tinyproxy.h"

namespace pelmora::test {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

struct RealWorker {
    RealWorker()
        : worker(CheckHostsLinks{
              .hosts = hosts,
              .prober = prober,
              .handOver = handOver,
              .sink = sink,
              .messageText = [](std::string_view key) { return std::string(key); },
              .timeOfDay = [] { return std::string("9:05:07"); },
          })
    {
    }

    // Stops the worker after `running` and tells how long Stop took.
    Clock::duration StopAfter(milliseconds running)
    {
        worker.Wake();
        std::this_thread::sleep_for(running);
        EXPECT_FALSE(worker.IsAsleep()) << "the cycle ended before the stop";
        const auto start = Clock::now();
        worker.Stop();
        return Clock::now() - start;
    }

    HostList hosts;
    ProbeEngine prober;
    HandOverQueue handOver;
    RecordingSink sink;
    TCheckHosts worker;
};

// Points the resolver of this process, and of programs it starts, at one
// name server of the private network, through a resolv.conf of its own.
class PrivateResolver {
public:
    PrivateResolver(const std::string& nameServer, const std::string& options)
    {
        if (!EnterPrivateMounts(&failure_)) {
            return;
        }
        const auto file = dir_.Path() / "resolv.conf";
        WriteFile(file, "nameserver " + nameServer + "\n" + options + "\n");
        if (::mount(file.c_str(), "/etc/resolv.conf", nullptr, MS_BIND, nullptr) != 0) {
            failure_ = std::string("cannot bind-mount resolv.conf: ") + std::strerror(errno);
        }
    }
    const std::string& Failure() const { return failure_; }

private:
    TempDir dir_;
    std::string failure_;
};

// A name server on the silent TEST-NET address: every lookup that reaches it
// hangs for as long as the resolver is willing to wait.
class SilentNameServer : public PrivateResolver {
public:
    SilentNameServer() : PrivateResolver(kSilentAddress, "options timeout:30 attempts:5")
    {
        AddSilentTestNetAddress();
    }
};

constexpr const char* kHangingName = "hangs.example";

using CheckHostsNetworkTest = PrivateNetworkTest;

TEST_F(CheckHostsNetworkTest, StopReturnsAtOnceWithAThousandProbesInFlight)
{
    AddSilentTestNetAddress();
    RealWorker w;
    for (int i = 0; i < 500; ++i) {
        w.hosts.Append(kSilentAddress, "");
        w.hosts.Append(std::string("http://") + kSilentAddress + "/", "");
    }
    EXPECT_LT(w.StopAfter(milliseconds(300)), milliseconds(500));
    EXPECT_TRUE(w.sink.log.empty());
    EXPECT_TRUE(w.sink.reports.empty());
}

TEST_F(CheckHostsNetworkTest, StopReturnsAtOnceWhileANameLookupHangs)
{
    const SilentNameServer nameServer;
    ASSERT_EQ(nameServer.Failure(), "");
    RealWorker w;
    w.hosts.Append(kHangingName, "");
    w.hosts.Append(std::string("http://") + kHangingName + "/", "");
    EXPECT_LT(w.StopAfter(milliseconds(300)), milliseconds(500));
    EXPECT_TRUE(w.sink.log.empty());
}

// The lookup runs against the entry's own limit, from the start of its
// probe; the other entries are probed meanwhile and the cycle goes on.
TEST_F(CheckHostsNetworkTest, NameLookupThatHangsCostsOnlyItsOwnEntry)
{
    const SilentNameServer nameServer;
    ASSERT_EQ(nameServer.Failure(), "");
    RealWorker w;
    w.hosts.Append("127.0.0.1", "").SetState(HostState::Down);
    w.hosts.Append(kHangingName, "").SetState(HostState::Up);
    w.hosts.Append("localhost", "").SetState(HostState::Down);
    const auto start = Clock::now();
    w.worker.Wake();
    w.handOver.ServeUntil([&w] { return w.worker.IsAsleep(); });
    const auto took = Clock::now() - start;

    EXPECT_GE(took, milliseconds(1400));
    EXPECT_LT(took, milliseconds(3000));
    EXPECT_EQ(w.sink.log,
              (std::vector<std::string>{"9:05:07. AppearHost 127.0.0.1",
                                        "9:05:07. LoseHost hangs.example - CauseNoAnswer",
                                        "9:05:07. AppearHost localhost"}));
}

// The engine takes an entry again once its probe has ended: a silent host
// that was up is asked twice, each with its full limit, within the cycle.
TEST_F(CheckHostsNetworkTest, AnotherAttemptRunsInTheSameCycle)
{
    AddSilentTestNetAddress();
    RealWorker w;
    w.worker.SetAttempts(2);
    w.hosts.Append(kSilentAddress, "").SetState(HostState::Up);
    w.hosts.Append("http://127.0.0.1:9/", "").SetState(HostState::Up);
    w.hosts.Append("127.0.0.1", "").SetState(HostState::Up);
    const auto start = Clock::now();
    w.worker.Wake();
    w.handOver.ServeUntil([&w] { return w.worker.IsAsleep(); });
    const auto took = Clock::now() - start;

    EXPECT_GE(took, milliseconds(2900));
    EXPECT_LT(took, milliseconds(4500));
    EXPECT_EQ(w.sink.log,
              (std::vector<std::string>{std::string("9:05:07. LoseHost ") + kSilentAddress +
                                            " - CauseNoAnswer",
                                        "9:05:07. LoseHost http://127.0.0.1:9/ - CauseRefused"}));
}

// Through a real proxy (tinyproxy): the host counts as there when the server
// answered anything but a failure; a server that refuses, a name that is not
// found and a server error are all 5xx answers of the proxy, hence Down.
TEST_F(CheckHostsNetworkTest, RealProxyAnswerDecidesTheState)
{
    // Nothing listens on the loopback name server port, so a lookup fails
    // at once and stays inside the private network.
    const PrivateResolver noNames("127.0.0.1", "options timeout:1 attempts:1");
    ASSERT_EQ(noNames.Failure(), "");
    const Tinyproxy tinyproxy;
    ASSERT_EQ(tinyproxy.Failure(), "");
    FakeProxy ok({"HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", ProxyBehaviour::Then::Close});
    FakeProxy notFound(
        {"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n", ProxyBehaviour::Then::Close});
    FakeProxy failing({"HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\n\r\n",
                       ProxyBehaviour::Then::Close});
    const auto at = [](const FakeProxy& server) {
        return "http://127.0.0.1:" + std::to_string(server.Port()) + "/";
    };
    struct Case {
        std::string target;
        HostState expected;
    };
    const std::vector<Case> cases = {
        {at(ok), HostState::Up},
        {at(notFound), HostState::Up},
        {at(failing), HostState::Down},
        {"http://127.0.0.1:9/", HostState::Down},
        {"http://nowhere.invalid/", HostState::Down},
    };
    RealWorker w;
    const std::string via = "127.0.0.1:" + std::to_string(Tinyproxy::kPort);
    for (const Case& c : cases) {
        // From the other state, so that each verdict shows as a change.
        w.hosts.Append(c.target, via)
            .SetState(c.expected == HostState::Up ? HostState::Down : HostState::Up);
    }
    w.worker.Wake();
    w.handOver.ServeUntil([&w] { return w.worker.IsAsleep(); });

    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(w.hosts.At(i)->State(), cases[i].expected) << cases[i].target;
    }
    EXPECT_EQ(w.sink.log.size(), cases.size());
}

} // namespace
} // namespace pelmora::test
