#include <chrono>
#include <filesystem>
#include <iterator>
#include <string>
#include <thread>
#include <typeinfo>
#include <utility>

#include <gtest/gtest.h>

#include "core/monitor/host_rules.h"
#include "core/monitor/http/http_client.h"
#include "core/monitor/net/probe_errors.h"
#include "core/monitor/net/stop_signal.h"
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

using DirectCheckTest = PrivateNetworkTest;

TEST_F(DirectCheckTest, ListenerSeesConnectAndCloseWithoutAByte)
{
    const TcpListener listener;
    TIdHTTP probe;
    probe.Host = "127.0.0.1";
    probe.Port = listener.Port();

    probe.OpenConnection(3000);
    EXPECT_TRUE(probe.IsConnected());
    probe.CloseConnection();
    EXPECT_FALSE(probe.IsConnected());

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
    const std::pair<std::string, const TcpListener*> cases[] = {
        {"HTTP://127.0.0.5:" + std::to_string(onItsPort.Port()) + "/status?full=1", &onItsPort},
        {"http://127.0.0.6/index.html", &onPort80},
    };
    for (const auto& [target, listener] : cases) {
        const auto address = ParseHttpHostText(HttpHostText(target));
        ASSERT_TRUE(address.has_value()) << target;
        TIdHTTP probe;
        probe.Host = address->host;
        probe.Port = address->port;
        probe.OpenConnection(3000);
        probe.CloseConnection();
        EXPECT_TRUE(listener->HasPendingConnection(3000)) << target;
    }
}

struct FailureCase {
    const char* name;
    std::string host;
    std::uint16_t port;
    const std::type_info* type;
    std::string message;
};

void PrintTo(const FailureCase& failure, std::ostream* out)
{
    *out << failure.name;
}

class DirectCheckFailureTest : public PrivateNetworkTest,
                               public ::testing::WithParamInterface<FailureCase> {};

TEST_P(DirectCheckFailureTest, FailsWithTheMessageAndLeavesNothingOpen)
{
    TIdHTTP probe;
    probe.Host = GetParam().host;
    probe.Port = GetParam().port;
    try {
        probe.OpenConnection(3000);
        FAIL() << "connected";
    } catch (const EIdException& error) {
        EXPECT_EQ(error.what(), GetParam().message);
        EXPECT_EQ(typeid(error), *GetParam().type);
    }
    EXPECT_FALSE(probe.IsConnected());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DirectCheckFailureTest,
    ::testing::Values(FailureCase{"Refused", "127.0.0.1", kClosedPort, &typeid(EIdConnectException),
                                  "Socket Error # 10061\r\nConnection refused."},
                      FailureCase{"EmptyHost", "", 80, &typeid(EIdSocketError),
                                  "Socket Error # 11001\r\nHost not found."}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(DirectCheckTest, AddressThatDropsTheConnectTimesOutAtTheLimit)
{
    test::AddSilentTestNetAddress();
    TIdHTTP probe;
    probe.Host = test::kSilentAddress;
    const auto start = Clock::now();
    try {
        probe.OpenConnection(300);
        FAIL() << "connected";
    } catch (const EIdConnectTimeout& error) {
        EXPECT_STREQ(error.what(), "Connect timed out.");
    }
    EXPECT_GE(ElapsedMs(start), 290);
    EXPECT_LT(ElapsedMs(start), 3000);
    EXPECT_FALSE(probe.IsConnected());
}

TEST_F(DirectCheckTest, StopRequestEndsASlowConnectAtOnce)
{
    test::AddSilentTestNetAddress();
    StopSignal stop;
    TIdHTTP probe;
    probe.Abort = &stop;
    probe.Host = test::kSilentAddress;

    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        stop.Raise();
    });
    const auto start = Clock::now();
    EXPECT_THROW(probe.OpenConnection(30000), EIdAborted);
    stopper.join();
    EXPECT_LT(ElapsedMs(start), 3000);
    EXPECT_FALSE(probe.IsConnected());

    // Once raised, the stop wins even over a connect that would succeed.
    const TcpListener listener;
    probe.Host = "127.0.0.1";
    probe.Port = listener.Port();
    EXPECT_THROW(probe.OpenConnection(3000), EIdAborted);
    EXPECT_FALSE(probe.IsConnected());
}

TEST_F(DirectCheckTest, DescriptorsAndThreadsStayFlatOverManyChecks)
{
    const TcpListener listener;
    TIdHTTP probe;
    probe.Host = "127.0.0.1";
    const std::size_t descriptors = EntriesIn("/proc/self/fd");
    const std::size_t threads = EntriesIn("/proc/self/task");

    int refused = 0;
    for (int i = 0; i < 10000; ++i) {
        // Every other check meets a closed port, so failure paths are counted too.
        probe.Port = (i % 2 == 0) ? listener.Port() : kClosedPort;
        try {
            probe.OpenConnection(3000);
            probe.CloseConnection();
            ASSERT_TRUE(listener.Accept(3000).Valid());
        } catch (const EIdConnectException&) {
            ++refused;
        }
    }
    EXPECT_EQ(refused, 5000);
    EXPECT_EQ(EntriesIn("/proc/self/fd"), descriptors);
    EXPECT_EQ(EntriesIn("/proc/self/task"), threads);
}

} // namespace
} // namespace pelmora
