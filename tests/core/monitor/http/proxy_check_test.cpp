#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "core/monitor/engine/probe_engine.h"
#include "core/monitor/engine/probe_runs.h"
#include "core/monitor/net/stop_signal.h"
#include "core/monitor/probing/probe_plan.h"
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

// The job for a check of `target` through the proxy text.
ProbeJob ViaProxy(const std::string& target, const std::string& proxy)
{
    const ProbePlan plan = PlanProbe(target, proxy);
    if (!plan.job) {
        ADD_FAILURE() << target << " via " << proxy << ": " << plan.failure;
        return {};
    }
    return *plan.job;
}

std::string Told(const ProbeAnswer& answer)
{
    return test::Told(answer, ProbeKind::Proxy);
}

class ProxyCheckTest : public PrivateNetworkTest {
protected:
    ProbeEngine engine;
};

TEST_F(ProxyCheckTest, SendsExactlyTheRequestForEachHostText)
{
    FakeProxy proxy({"HTTP/1.1 200 OK\r\n\r\n", Then::Close});
    const std::string via = "LOCALHOST:" + std::to_string(proxy.Port());

    const auto answers = test::RunProbes(engine, {ViaProxy("http://10.0.0.7:8080/status/?q=1", via),
                                                  ViaProxy("http://server", via)});
    EXPECT_EQ(Told(answers[0]), "status 200");
    EXPECT_EQ(Told(answers[1]), "status 200");

    // Both at once: the proxy may take either first.
    auto requests = proxy.Requests(2, 3000);
    std::sort(requests.begin(), requests.end());
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
}

struct Outcome {
    const char* name;
    ProxyBehaviour proxy;
    std::string told;
};

// Every kind of proxy at once, each on its own connection: the status line
// alone decides, anything else is a failure with its text, and silence lasts
// the read limit of 3 s.
TEST_F(ProxyCheckTest, StatusOrFailureOfEachProxy)
{
    const std::vector<Outcome> outcomes = {
        // The answer stays open: the status line alone decides.
        {"Ok", {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello", Then::Hold}, "status 200"},
        {"AuthRequired",
         {"HTTP/1.1 407 Proxy Authentication Required\r\n\r\n", Then::Hold},
         "status 407"},
        {"BadGateway", {"HTTP/1.0 502 Bad Gateway\r\n\r\n", Then::Close}, "status 502"},
        {"Unavailable", {"HTTP/1.1 503 \r\n\r\n", Then::Hold}, "status 503"},
        {"GatewayTimeout", {"HTTP/1.1 504\n\n", Then::Hold}, "status 504"},
        {"NotFound", {"HTTP/1.1 404 Not Found\r\n\r\n", Then::Reset}, "status 404"},
        {"CloseAtOnce", {"", Then::Close}, "Connection Closed Gracefully."},
        {"CloseInStatusLine", {"HTTP/1.1 20", Then::Close}, "Connection Closed Gracefully."},
        {"Reset", {"", Then::Reset}, "Socket Error # 10054\r\nConnection reset by peer."},
        {"Silent", {"", Then::Hold}, "Read Timeout"},
        {"SilentInStatusLine", {"HTTP/1.1 200 O", Then::Hold}, "Read Timeout"},
        {"NotHttp", {"SSH-2.0-OpenSSH_9.2\r\n", Then::Hold}, "Invalid HTTP status line."},
    };
    std::vector<std::unique_ptr<FakeProxy>> proxies;
    std::vector<ProbeJob> jobs;
    for (const Outcome& outcome : outcomes) {
        proxies.push_back(std::make_unique<FakeProxy>(outcome.proxy));
        jobs.push_back(ViaProxy("http://www.example.com/",
                                "127.0.0.1:" + std::to_string(proxies.back()->Port())));
    }
    const auto start = Clock::now();

    const auto answers = test::RunProbes(engine, jobs);

    EXPECT_GE(ElapsedMs(start), 2990);
    EXPECT_LT(ElapsedMs(start), 6000);
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        EXPECT_EQ(Told(answers[i]), outcomes[i].told) << outcomes[i].name;
        // Only a status line ends the time to it; answers come at once here.
        if (outcomes[i].told.starts_with("status ")) {
            ASSERT_TRUE(answers[i].roundTrip) << outcomes[i].name;
            EXPECT_GT(answers[i].roundTrip->count(), 0) << outcomes[i].name;
            EXPECT_LT(*answers[i].roundTrip, std::chrono::milliseconds(1000)) << outcomes[i].name;
        } else {
            EXPECT_FALSE(answers[i].roundTrip) << outcomes[i].name;
        }
        EXPECT_EQ(proxies[i]->Requests(1, 3000).size(), 1u) << outcomes[i].name;
    }
}

// A secure address through a proxy: one CONNECT request and its status line,
// or the failure that came instead of one. The read limit itself is proved
// above; a short one here ends the silent proxy's wait.
TEST_F(ProxyCheckTest, TunnelRequestAndItsAnswer)
{
    ProbeEngine quick(ProbeLimits{.read = std::chrono::milliseconds(300)});
    const std::vector<Outcome> outcomes = {
        {"Opened", {"HTTP/1.1 200 Connection established\r\n\r\n", Then::Hold}, "status 200"},
        {"Forbidden", {"HTTP/1.1 403 Forbidden\r\n\r\n", Then::Close}, "status 403"},
        {"BadGateway", {"HTTP/1.1 502 Bad Gateway\r\n\r\n", Then::Hold}, "status 502"},
        {"CloseInStatusLine", {"HTTP/1.1 2", Then::Close}, "Connection Closed Gracefully."},
        {"Silent", {"", Then::Hold}, "Read Timeout"},
    };
    std::vector<std::unique_ptr<FakeProxy>> proxies;
    std::vector<ProbeJob> jobs;
    for (const Outcome& outcome : outcomes) {
        proxies.push_back(std::make_unique<FakeProxy>(outcome.proxy));
        jobs.push_back(ViaProxy("HTTPS://www.example.com/account?id=7",
                                "127.0.0.1:" + std::to_string(proxies.back()->Port())));
        EXPECT_EQ(jobs.back().kind, ProbeKind::Tunnel);
    }
    const auto start = Clock::now();

    const auto answers = test::RunProbes(quick, jobs);

    EXPECT_GE(ElapsedMs(start), 290);
    EXPECT_LT(ElapsedMs(start), 2900);
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        EXPECT_EQ(Told(answers[i]), outcomes[i].told) << outcomes[i].name;
        EXPECT_EQ(proxies[i]->Requests(1, 3000),
                  std::vector<std::string>{"CONNECT www.example.com:443 HTTP/1.1\r\n"
                                           "Host: www.example.com:443\r\n"
                                           "\r\n"})
            << outcomes[i].name;
    }
}

// An IPv6 proxy, written in brackets, asked for an IPv6 host: both in
// brackets wherever they stand before a port.
TEST_F(ProxyCheckTest, Ipv6ProxyAndHost)
{
    FakeProxy proxy({"HTTP/1.1 200 OK\r\n\r\n", Then::Close}, "::1");
    const std::string via = "[::1]:" + std::to_string(proxy.Port());

    const auto answers = test::RunProbes(engine, {ViaProxy("https://[2001:db8::7]:8443/", via),
                                                  ViaProxy("http://[2001:db8::7]/a", via)});

    EXPECT_EQ(Told(answers[0]), "status 200");
    EXPECT_EQ(Told(answers[1]), "status 200");
    auto requests = proxy.Requests(2, 3000);
    std::sort(requests.begin(), requests.end());
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0], "CONNECT [2001:db8::7]:8443 HTTP/1.1\r\n"
                           "Host: [2001:db8::7]:8443\r\n"
                           "\r\n");
    EXPECT_EQ(requests[1].substr(0, requests[1].find("\r\nAccept")),
              "GET http://[2001:db8::7]/a HTTP/1.1\r\n"
              "Content-Type: text/html\r\n"
              "Host: [2001:db8::7]");
}

TEST_F(ProxyCheckTest, UnusableProxyOrHostTextFails)
{
    const test::TcpListener listener;
    const std::string port = std::to_string(listener.Port());
    struct Case {
        const char* name;
        std::string target;
        std::string proxy;
        std::string told;
    };
    for (const Case& c : {
             Case{"EmptyHostText", "http://", "127.0.0.1:" + port, "Host field is empty"},
             Case{"PortZero", "http://www.example.com/", "127.0.0.1:0", "Invalid proxy port 0."},
             Case{"PortTooLarge", "http://www.example.com/", "127.0.0.1:65536",
                  "Invalid proxy port 65536."},
             Case{"PortNegative", "http://www.example.com/", "127.0.0.1:-3128",
                  "Invalid proxy port -3128."},
         }) {
        const ProbePlan plan = PlanProbe(c.target, c.proxy);
        EXPECT_FALSE(plan.job.has_value()) << c.name;
        EXPECT_EQ(plan.failure, c.told) << c.name;
    }
    EXPECT_FALSE(listener.HasPendingConnection(100)) << "connected before any check";

    const auto answers =
        test::RunProbes(engine, {ViaProxy("http://www.example.com/", "127.0.0.1:9"),
                                 // A proxy text without ":" leaves the server empty.
                                 ViaProxy("http://www.example.com/", "3128")});
    EXPECT_EQ(Told(answers[0]), "Socket Error # 10061\r\nConnection refused.");
    EXPECT_EQ(Told(answers[1]), "Socket Error # 11001\r\nHost not found.");
}

TEST_F(ProxyCheckTest, StopRequestEndsASilentWaitAtOnce)
{
    FakeProxy proxy({"", Then::Hold});
    StopSignal stop;
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        stop.Raise();
    });
    const auto start = Clock::now();
    const auto answers = test::RunProbes(
        engine, {ViaProxy("http://www.example.com/", "LOCALHOST:" + std::to_string(proxy.Port()))},
        stop);
    stopper.join();
    EXPECT_LT(ElapsedMs(start), 1000);
    EXPECT_EQ(Told(answers[0]), "still running");
}

} // namespace
} // namespace pelmora
