#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "core/monitor/http/http_client.h"
#include "core/monitor/net/probe_errors.h"
#include "core/monitor/net/stop_signal.h"
#include "support/fake_proxy.h"
#include "support/private_network.h"
#include "support/tcp_listener.h"

namespace pelmora {
namespace {

using Clock = std::chrono::steady_clock;
using test::FakeProxy;
using test::PrivateNetworkTest;
using test::ProxyBehaviour;
using Then = ProxyBehaviour::Then;

long ElapsedMs(Clock::time_point since)
{
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

void UseProxy(TIdHTTP& probe, std::uint16_t port)
{
    probe.ProxyParams.ProxyServer = "LOCALHOST";
    probe.ProxyParams.ProxyPort = port;
    probe.ReadTimeout = 3000;
}

using ProxyCheckTest = PrivateNetworkTest;

TEST_F(ProxyCheckTest, SendsExactlyTheRequestForEachHostText)
{
    FakeProxy proxy({"HTTP/1.1 200 OK\r\n\r\n", Then::Close});
    TIdHTTP probe;
    UseProxy(probe, proxy.Port());

    EXPECT_EQ(probe.GetPage("10.0.0.7:8080/status/?q=1"), 200);
    // A bare host after a request with a path: no part of the path carries over.
    EXPECT_EQ(probe.GetPage("server"), 200);

    const auto requests = proxy.Requests(2, 3000);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0], "GET http://10.0.0.7:8080/status/?q=1 HTTP/1.1\r\n"
                           "Content-Type: text/html\r\n"
                           "Host: 10.0.0.7:8080\r\n"
                           "Accept: text/html, */*\r\n"
                           "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
                           "\r\n");
    EXPECT_EQ(requests[1], "GET http://server/ HTTP/1.1\r\n"
                           "Content-Type: text/html\r\n"
                           "Host: server\r\n"
                           "Accept: text/html, */*\r\n"
                           "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
                           "\r\n");
    EXPECT_EQ(probe.Host, "LOCALHOST");
    EXPECT_EQ(probe.Port, proxy.Port());
}

struct Outcome {
    const char* name;
    ProxyBehaviour proxy;
    std::optional<int> status;
    std::string message;
};

void PrintTo(const Outcome& outcome, std::ostream* out)
{
    *out << outcome.name;
}

class ProxyOutcomeTest : public PrivateNetworkTest,
                         public ::testing::WithParamInterface<Outcome> {};

TEST_P(ProxyOutcomeTest, StatusOrFailureAndTheConnectionClosed)
{
    const Outcome& expected = GetParam();
    FakeProxy proxy(expected.proxy);
    TIdHTTP probe;
    UseProxy(probe, proxy.Port());
    probe.ReadTimeout = 300;

    const auto start = Clock::now();
    if (expected.status) {
        EXPECT_EQ(probe.GetPage("www.example.com"), *expected.status);
    } else {
        try {
            probe.GetPage("www.example.com");
            FAIL() << "returned a status";
        } catch (const EIdException& error) {
            EXPECT_EQ(error.what(), expected.message);
        }
    }
    EXPECT_LT(ElapsedMs(start), 3000);
    EXPECT_FALSE(probe.IsConnected());
    EXPECT_EQ(proxy.Requests(1, 3000).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProxyOutcomeTest,
    ::testing::Values(
        // The answer stays open: the status line alone decides.
        Outcome{"Ok", {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello", Then::Hold}, 200, ""},
        Outcome{"AuthRequired",
                {"HTTP/1.1 407 Proxy Authentication Required\r\n\r\n", Then::Hold},
                407,
                ""},
        Outcome{"BadGateway", {"HTTP/1.0 502 Bad Gateway\r\n\r\n", Then::Close}, 502, ""},
        Outcome{"Unavailable", {"HTTP/1.1 503 \r\n\r\n", Then::Hold}, 503, ""},
        Outcome{"GatewayTimeout", {"HTTP/1.1 504\n\n", Then::Hold}, 504, ""},
        Outcome{"NotFound", {"HTTP/1.1 404 Not Found\r\n\r\n", Then::Reset}, 404, ""},
        Outcome{"CloseAtOnce", {"", Then::Close}, std::nullopt, "Connection Closed Gracefully."},
        Outcome{"CloseInStatusLine",
                {"HTTP/1.1 20", Then::Close},
                std::nullopt,
                "Connection Closed Gracefully."},
        Outcome{"Reset",
                {"", Then::Reset},
                std::nullopt,
                "Socket Error # 10054\r\nConnection reset by peer."},
        Outcome{"Silent", {"", Then::Hold}, std::nullopt, "Read Timeout"},
        Outcome{"SilentInStatusLine", {"HTTP/1.1 200 O", Then::Hold}, std::nullopt, "Read Timeout"},
        Outcome{"NotHttp",
                {"SSH-2.0-OpenSSH_9.2\r\n", Then::Hold},
                std::nullopt,
                "Invalid HTTP status line."}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(ProxyCheckTest, SilenceLastsReadTimeout)
{
    FakeProxy proxy({"", Then::Hold});
    TIdHTTP probe;
    UseProxy(probe, proxy.Port());
    probe.ReadTimeout = 300;
    const auto start = Clock::now();
    EXPECT_THROW(probe.GetPage("www.example.com"), EIdReadTimeout);
    EXPECT_GE(ElapsedMs(start), 290);
}

TEST_F(ProxyCheckTest, EmptyHostTextFailsBeforeAnyConnection)
{
    const test::TcpListener proxy;
    TIdHTTP probe;
    UseProxy(probe, proxy.Port());
    try {
        probe.GetPage("");
        FAIL() << "returned a status";
    } catch (const EIdURIException& error) {
        EXPECT_STREQ(error.what(), "Host field is empty");
    }
    EXPECT_FALSE(proxy.HasPendingConnection(100));
}

struct ProxyFailure {
    const char* name;
    std::string server;
    std::int32_t port;
    std::string message;
};

void PrintTo(const ProxyFailure& failure, std::ostream* out)
{
    *out << failure.name;
}

class ProxyUnusableTest : public PrivateNetworkTest,
                          public ::testing::WithParamInterface<ProxyFailure> {};

TEST_P(ProxyUnusableTest, FailsWithoutAStatus)
{
    TIdHTTP probe;
    probe.ProxyParams.ProxyServer = GetParam().server;
    probe.ProxyParams.ProxyPort = GetParam().port;
    try {
        probe.GetPage("www.example.com");
        FAIL() << "returned a status";
    } catch (const EIdException& error) {
        EXPECT_EQ(error.what(), GetParam().message);
    }
    EXPECT_FALSE(probe.IsConnected());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProxyUnusableTest,
    ::testing::Values(ProxyFailure{"NothingListens", "127.0.0.1", 9,
                                   "Socket Error # 10061\r\nConnection refused."},
                      // A proxy text without ":" leaves the server empty.
                      ProxyFailure{"NoServer", "", 3128, "Socket Error # 11001\r\nHost not found."},
                      ProxyFailure{"PortZero", "127.0.0.1", 0, "Invalid proxy port 0."},
                      ProxyFailure{"PortTooLarge", "127.0.0.1", 65536, "Invalid proxy port 65536."},
                      ProxyFailure{"PortNegative", "127.0.0.1", -3128,
                                   "Invalid proxy port -3128."}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(ProxyCheckTest, StopRequestEndsASilentWaitAtOnce)
{
    FakeProxy proxy({"", Then::Hold});
    StopSignal stop;
    TIdHTTP probe;
    probe.Abort = &stop;
    UseProxy(probe, proxy.Port());
    probe.ReadTimeout = 30000;

    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        stop.Raise();
    });
    const auto start = Clock::now();
    EXPECT_THROW(probe.GetPage("www.example.com"), EIdAborted);
    stopper.join();
    EXPECT_LT(ElapsedMs(start), 3000);
    EXPECT_FALSE(probe.IsConnected());
}

} // namespace
} // namespace pelmora
