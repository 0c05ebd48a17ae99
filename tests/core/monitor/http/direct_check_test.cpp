#include <chrono>
#include <filesystem>
#include <iterator>
#include <string>
#include <thread>
#include <utility>

#include <gtest/gtest.h>
#include <sys/resource.h>

#include "core/monitor/engine/probe_engine.h"
#include "core/monitor/engine/probe_runs.h"
#include "core/monitor/icmp/without_net_raw.h"
#include "core/monitor/net/stop_signal.h"
#include "core/monitor/probing/probe_plan.h"
#include "support/private_network.h"
#include "support/tcp_listener.h"

namespace pelmora {
namespace {

using Clock = std::chrono::steady_clock;
using test::PrivateNetworkTest;
using test::TcpListener;

// A port on which nothing listens in a fresh private network.
constexpr std::uint16_t kClosedPort = 9;

long ElapsedMs(Clock::time_point since)
{
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

std::size_t EntriesIn(const char* folder)
{
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                  std::filesystem::directory_iterator()));
}

std::string Told(const ProbeAnswer& answer)
{
    return test::Told(answer, ProbeKind::Connect);
}

class DirectCheckTest : public PrivateNetworkTest {
protected:
    ProbeEngine engine;
};

TEST_F(DirectCheckTest, ListenerSeesConnectAndCloseWithoutAByte)
{
    const TcpListener listener;

    const ProbeAnswer answer =
        test::RunProbe(engine, test::ConnectJob("127.0.0.1", listener.Port()));
    EXPECT_EQ(Told(answer), "connected");
    // The connect's own time, to the microsecond: loopback takes far less
    // than a millisecond, yet some.
    ASSERT_TRUE(answer.roundTrip);
    EXPECT_GT(answer.roundTrip->count(), 0);
    EXPECT_LT(*answer.roundTrip, std::chrono::milliseconds(200));

    const UniqueFd server = listener.Accept(3000);
    ASSERT_TRUE(server.Valid()) << "the probe never connected";
    const auto seen = test::ReadUntilClosed(server.Get(), 3000);
    EXPECT_TRUE(seen.closed);
    EXPECT_EQ(seen.bytes, "");
}

TEST_F(DirectCheckTest, HostTextWithPortAndPathReachesThatHostAndPort)
{
    const TcpListener onItsPort("127.0.0.5");
    const TcpListener onPort80("127.0.0.6", 80);
    const TcpListener onPort443("127.0.0.1", 443);
    const TcpListener onV6Port443("::1", 443);
    const TcpListener onV6ItsPort("::1");
    const std::pair<std::string, const TcpListener*> cases[] = {
        {"HTTP://127.0.0.5:" + std::to_string(onItsPort.Port()) + "/status?full=1", &onItsPort},
        {"http://127.0.0.6/index.html", &onPort80},
        // A secure address is only connected to: no TLS handshake is needed.
        {"https://127.0.0.1/login", &onPort443},
        {"HTTPS://127.0.0.5:" + std::to_string(onItsPort.Port()), &onItsPort},
        {"https://[::1]/", &onV6Port443},
        {"http://[0:0::1]:" + std::to_string(onV6ItsPort.Port()) + "/x", &onV6ItsPort},
    };
    for (const auto& [target, listener] : cases) {
        const ProbePlan plan = PlanProbe(target, "");
        ASSERT_TRUE(plan.job.has_value()) << target;
        EXPECT_EQ(Told(test::RunProbe(engine, *plan.job)), "connected") << target;
        EXPECT_TRUE(listener->HasPendingConnection(3000)) << target;
    }
}

// Side by side, each failure keeps its own text and none holds up another.
TEST_F(DirectCheckTest, FailuresTellWhatHappened)
{
    test::AddSilentTestNetAddress();
    test::AddSilentTestNet6Address();
    const auto start = Clock::now();
    const auto answers = test::RunProbes(
        engine, {test::ConnectJob("127.0.0.1", kClosedPort), test::ConnectJob("", 80),
                 test::ConnectJob("198.51.100.7", 80), test::ConnectJob(test::kSilentAddress, 80),
                 test::ConnectJob("::1", kClosedPort), test::ConnectJob("2001:db8:ffff::7", 80),
                 test::ConnectJob(test::kSilentAddress6, 80)});
    EXPECT_EQ(Told(answers[0]), "Socket Error # 10061\r\nConnection refused.");
    EXPECT_EQ(Told(answers[1]), "Socket Error # 11001\r\nHost not found.");
    EXPECT_EQ(Told(answers[2]), "Socket Error # 10051\r\nNetwork is unreachable.");
    // An address that drops the connect: the limit of 3 s.
    EXPECT_EQ(Told(answers[3]), "Connect timed out.");
    EXPECT_EQ(Told(answers[4]), "Socket Error # 10061\r\nConnection refused.");
    EXPECT_EQ(Told(answers[5]), "Socket Error # 10051\r\nNetwork is unreachable.");
    EXPECT_EQ(Told(answers[6]), "Connect timed out.");
    EXPECT_GE(ElapsedMs(start), 2990);
    EXPECT_LT(ElapsedMs(start), 6000);
}

TEST_F(DirectCheckTest, StopRequestEndsASlowConnectAtOnce)
{
    test::AddSilentTestNetAddress();
    StopSignal stop;
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        stop.Raise();
    });
    const auto start = Clock::now();
    const auto answers =
        test::RunProbes(engine, {test::ConnectJob(test::kSilentAddress, 80)}, stop);
    stopper.join();
    EXPECT_LT(ElapsedMs(start), 1000);
    EXPECT_EQ(Told(answers[0]), "still running");
}

// Far more connects at once than descriptors are left: the ones that find
// none wait for others to end instead of failing.
TEST_F(DirectCheckTest, ChecksWaitForFreeDescriptors)
{
    const TcpListener listener;
    const std::string outcome = test::RunInForkedChild([&listener] {
        ProbeEngine childEngine;
        const rlimit few{EntriesIn("/proc/self/fd") + 8, EntriesIn("/proc/self/fd") + 8};
        if (::setrlimit(RLIMIT_NOFILE, &few) != 0) {
            return std::string("cannot lower the descriptor limit");
        }
        int connected = 0;
        std::string other;
        for (const ProbeAnswer& answer : test::RunProbes(
                 childEngine,
                 std::vector<ProbeJob>(300, test::ConnectJob("127.0.0.1", listener.Port())))) {
            if (Told(answer) == "connected") {
                ++connected;
            } else {
                other = Told(answer);
            }
        }
        return std::to_string(connected) + " connected" + (other.empty() ? "" : ", " + other);
    });
    EXPECT_EQ(outcome, "300 connected");
}

TEST_F(DirectCheckTest, DescriptorsAndThreadsStayFlatOverManyChecks)
{
    const TcpListener listener;
    const std::size_t descriptors = EntriesIn("/proc/self/fd");
    const std::size_t threads = EntriesIn("/proc/self/task");

    int refused = 0;
    for (int cycle = 0; cycle < 20; ++cycle) {
        // Every other check meets a closed port, so failure paths are counted too.
        std::vector<ProbeJob> jobs;
        jobs.reserve(500);
        for (int i = 0; i < 500; ++i) {
            jobs.push_back(
                test::ConnectJob("127.0.0.1", i % 2 == 0 ? listener.Port() : kClosedPort));
        }
        for (const ProbeAnswer& answer : test::RunProbes(engine, jobs)) {
            refused += Told(answer) == "Socket Error # 10061\r\nConnection refused." ? 1 : 0;
        }
        for (int i = 0; i < 250; ++i) {
            ASSERT_TRUE(listener.Accept(3000).Valid());
        }
    }
    EXPECT_EQ(refused, 5000);
    EXPECT_EQ(EntriesIn("/proc/self/fd"), descriptors);
    EXPECT_EQ(EntriesIn("/proc/self/task"), threads);
}

} // namespace
} // namespace pelmora
