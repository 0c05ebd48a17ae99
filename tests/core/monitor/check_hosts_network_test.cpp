// The worker over the real probe engine, inside a private network: how long
// stopping takes with many probes in flight or a name lookup that hangs, and
// what such a lookup costs the cycle.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "check_hosts_harness.h"
#include "core/monitor/engine/probe_engine.h"
#include "support/private_mounts.h"
#include "support/private_network.h"
#include "support/temp_dir.h"

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

// A name server on the silent TEST-NET address: every lookup that reaches it
// hangs for as long as the resolver is willing to wait.
class SilentNameServer {
public:
    SilentNameServer()
    {
        if (!EnterPrivateMounts(&failure_)) {
            return;
        }
        AddSilentTestNetAddress();
        const auto file = dir_.Path() / "resolv.conf";
        WriteFile(file, std::string("nameserver ") + kSilentAddress +
                            "\noptions timeout:30 attempts:5\n");
        if (::mount(file.c_str(), "/etc/resolv.conf", nullptr, MS_BIND, nullptr) != 0) {
            failure_ = std::string("cannot bind-mount resolv.conf: ") + std::strerror(errno);
        }
    }
    const std::string& Failure() const { return failure_; }

private:
    TempDir dir_;
    std::string failure_;
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
    EXPECT_EQ(w.sink.log, (std::vector<std::string>{"9:05:07. AppearHost 127.0.0.1",
                                                    "9:05:07. LoseHost hangs.example",
                                                    "9:05:07. AppearHost localhost"}));
}

} // namespace
} // namespace pelmora::test
