#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "check_hosts_harness.h"
#include "core/monitor/net/probe_errors.h"

namespace pelmora::test {
namespace {

struct OutcomeCase {
    const char* what;
    std::string target;
    std::string proxy;
    std::function<void(WorkerHarness&)> arrange;
    bool reachable;
    std::vector<std::string> calls;
};

std::function<void(WorkerHarness&)> EchoAnswers(const std::string& host, ReplyKind kind,
                                                const std::string& source, std::uint8_t ttl)
{
    return [=](WorkerHarness& h) {
        h.prober.Script(host, FakeProber::Echo(ReplyFrom(kind, source, ttl)));
    };
}

std::function<void(WorkerHarness&)> WebAnswers(const std::string& host, FakeProber::Action action)
{
    return [host, action = std::move(action)](WorkerHarness& h) { h.prober.Script(host, action); };
}

void Nothing(WorkerHarness&) {}

constexpr const char* kConnectWeb80 = "connect web:80";
constexpr const char* kGetViaProxy = "proxy proxy:3128 GET http://web/x HTTP/1.1";
constexpr const char* kTunnelViaProxy = "proxy proxy:3128 CONNECT web:443 HTTP/1.1";

const std::vector<OutcomeCase>& Cases()
{
    static const std::vector<OutcomeCase> cases = {
        {"echo reply",
         "192.0.2.7",
         "",
         EchoAnswers("192.0.2.7", ReplyKind::EchoReply, "192.0.2.7", 64),
         true,
         {"echo 192.0.2.7"}},
        {"echo reply from 0.0.0.0",
         "192.0.2.7",
         "",
         EchoAnswers("192.0.2.7", ReplyKind::EchoReply, "0.0.0.0", 64),
         false,
         {"echo 192.0.2.7"}},
        {"echo reply with TTL 0",
         "192.0.2.7",
         "",
         EchoAnswers("192.0.2.7", ReplyKind::EchoReply, "192.0.2.7", 0),
         false,
         {"echo 192.0.2.7"}},
        {"router reports the host unreachable",
         "192.0.2.7",
         "",
         EchoAnswers("192.0.2.7", ReplyKind::Unreachable, "192.0.2.254", 63),
         false,
         {"echo 192.0.2.7"}},
        {"router reports the time to live exceeded",
         "192.0.2.7",
         "",
         EchoAnswers("192.0.2.7", ReplyKind::TtlExpired, "192.0.2.254", 63),
         false,
         {"echo 192.0.2.7"}},
        {"no answer within the wait", "192.0.2.7", "", Nothing, false, {"echo 192.0.2.7"}},
        {"name not found",
         "nowhere",
         "",
         [](WorkerHarness& h) {
             h.prober.Script("nowhere",
                             FakeProber::Fail("Socket Error # 11001\r\nHost not found."));
         },
         false,
         {"echo nowhere"}},
        {"LAN name after two backslashes",
         "\\\\pc7",
         "",
         EchoAnswers("pc7", ReplyKind::EchoReply, "192.0.2.7", 64),
         true,
         {"echo pc7"}},
        {"LAN name after two slashes",
         "//pc7",
         "",
         EchoAnswers("pc7", ReplyKind::EchoReply, "192.0.2.7", 64),
         true,
         {"echo pc7"}},
        {"proxy text on an IP entry has no effect",
         "192.0.2.7",
         "proxy:3128",
         EchoAnswers("192.0.2.7", ReplyKind::EchoReply, "192.0.2.7", 64),
         true,
         {"echo 192.0.2.7"}},
        {"direct connect",
         "http://web",
         "",
         WebAnswers("web", FakeProber::Connected()),
         true,
         {kConnectWeb80}},
        {"direct connect to the address's own port",
         "http://web:8080/index.html",
         "",
         WebAnswers("web", FakeProber::Connected()),
         true,
         {"connect web:8080"}},
        {"direct connect refused", "http://web", "", Nothing, false, {kConnectWeb80}},
        {"web address without a host", "http://", "", Nothing, false, {}},
        {"web address with a port out of range", "http://web:99999", "", Nothing, false, {}},
        {"proxy answers 200",
         "http://web/x",
         "proxy:3128",
         WebAnswers("proxy", FakeProber::ProxyStatus(200)),
         true,
         {kGetViaProxy}},
        {"proxy answers 404: the host was reached",
         "http://web/x",
         "proxy:3128",
         WebAnswers("proxy", FakeProber::ProxyStatus(404)),
         true,
         {kGetViaProxy}},
        {"proxy wants authentication",
         "http://web/x",
         "proxy:3128",
         WebAnswers("proxy", FakeProber::ProxyStatus(407)),
         false,
         {kGetViaProxy}},
        {"proxy answers 502",
         "http://web/x",
         "proxy:3128",
         WebAnswers("proxy", FakeProber::ProxyStatus(502)),
         false,
         {kGetViaProxy}},
        {"proxy answers 503",
         "http://web/x",
         "proxy:3128",
         WebAnswers("proxy", FakeProber::ProxyStatus(503)),
         false,
         {kGetViaProxy}},
        {"proxy answers 504",
         "http://web/x",
         "proxy:3128",
         WebAnswers("proxy", FakeProber::ProxyStatus(504)),
         false,
         {kGetViaProxy}},
        {"proxy answers 500: the server failed",
         "http://web/x",
         "proxy:3128",
         WebAnswers("proxy", FakeProber::ProxyStatus(500)),
         false,
         {kGetViaProxy}},
        {"proxy answers 501",
         "http://web/x",
         "proxy:3128",
         WebAnswers("proxy", FakeProber::ProxyStatus(501)),
         false,
         {kGetViaProxy}},
        {"proxy answers 599",
         "http://web/x",
         "proxy:3128",
         WebAnswers("proxy", FakeProber::ProxyStatus(599)),
         false,
         {kGetViaProxy}},
        {"proxy answers 301: the host was reached",
         "http://web/x",
         "proxy:3128",
         WebAnswers("proxy", FakeProber::ProxyStatus(301)),
         true,
         {kGetViaProxy}},
        {"proxy answers 401: the host itself asks for a login",
         "http://web/x",
         "proxy:3128",
         WebAnswers("proxy", FakeProber::ProxyStatus(401)),
         true,
         {kGetViaProxy}},
        {"proxy answers 100",
         "http://web/x",
         "proxy:3128",
         WebAnswers("proxy", FakeProber::ProxyStatus(100)),
         true,
         {kGetViaProxy}},
        {"proxy closes without an answer",
         "http://web/x",
         "proxy:3128",
         WebAnswers("proxy", FakeProber::Fail("Connection Closed Gracefully.")),
         false,
         {kGetViaProxy}},
        {"proxy stays silent", "http://web/x", "proxy:3128", Nothing, false, {kGetViaProxy}},
        {"proxy port out of range: no traffic", "http://web/x", "proxy:0", Nothing, false, {}},
        {"secure address: a plain connect to port 443",
         "HTTPS://web/x",
         "",
         WebAnswers("web", FakeProber::Connected()),
         true,
         {"connect web:443"}},
        {"secure address with its own port",
         "https://web:8443",
         "",
         Nothing,
         false,
         {"connect web:8443"}},
        {"tunnel opened",
         "https://web/x",
         "proxy:3128",
         WebAnswers("proxy", FakeProber::ProxyStatus(200)),
         true,
         {kTunnelViaProxy}},
        {"tunnel opened with another 2xx",
         "https://web/x",
         "proxy:3128",
         WebAnswers("proxy", FakeProber::ProxyStatus(204)),
         true,
         {kTunnelViaProxy}},
        // Unlike a GET, any answer but 2xx means there is no way through.
        {"tunnel refused with 403",
         "https://web/x",
         "proxy:3128",
         WebAnswers("proxy", FakeProber::ProxyStatus(403)),
         false,
         {kTunnelViaProxy}},
        {"tunnel refused with 404",
         "https://web/x",
         "proxy:3128",
         WebAnswers("proxy", FakeProber::ProxyStatus(404)),
         false,
         {kTunnelViaProxy}},
        {"tunnel answer 302",
         "https://web/x",
         "proxy:3128",
         WebAnswers("proxy", FakeProber::ProxyStatus(302)),
         false,
         {kTunnelViaProxy}},
        {"IPv6 echo target",
         "2001:db8::7",
         "",
         EchoAnswers("2001:db8::7", ReplyKind::EchoReply, "2001:db8::7", 64),
         true,
         {"echo 2001:db8::7"}},
        {"bracketed IPv6 echo target", "[2001:db8::7]", "", Nothing, false, {"echo 2001:db8::7"}},
        {"web address on an IPv6 host",
         "https://[2001:db8::7]:8443/",
         "",
         WebAnswers("2001:db8::7", FakeProber::Connected()),
         true,
         {"connect 2001:db8::7:8443"}},
        {"tunnel to an IPv6 host through an IPv6 proxy",
         "https://[2001:db8::7]/",
         "[2001:db8::1]:3128",
         WebAnswers("2001:db8::1", FakeProber::ProxyStatus(200)),
         true,
         {"proxy 2001:db8::1:3128 CONNECT [2001:db8::7]:443 HTTP/1.1"}},
        {"proxy port that is no number: checked directly",
         "http://web",
         "proxy:31x8",
         WebAnswers("web", FakeProber::Connected()),
         true,
         {kConnectWeb80}},
    };
    return cases;
}

// Every outcome from both states: the state follows the outcome, and only a
// change is reported.
TEST(CheckHostsOutcome, ProbeOutcomeDecidesTheStateOfEachKind)
{
    for (const OutcomeCase& c : Cases()) {
        for (const HostState before : {HostState::Up, HostState::Down}) {
            SCOPED_TRACE(std::string(c.what) +
                         (before == HostState::Up ? ", was Up" : ", was Down"));
            WorkerHarness h;
            h.Add(c.target, c.proxy, before);
            c.arrange(h);
            h.RunCycle();
            EXPECT_EQ(h.hosts.At(0)->State(), c.reachable ? HostState::Up : HostState::Down);
            const bool changed = (before == HostState::Up) != c.reachable;
            EXPECT_EQ(h.sink.log.size(), changed ? 1U : 0U);
            EXPECT_EQ(h.sink.reports.size(), changed ? 1U : 0U);
            EXPECT_EQ(h.prober.Calls(), c.calls);
        }
    }
}

// A malformed IPv6 address is never sent anywhere; the entry is Down and the
// detail says what is wrong with it.
TEST(CheckHostsOutcome, MalformedIpv6AddressesTellWhy)
{
    const struct {
        const char* target;
        const char* proxy;
        const char* detail;
    } cases[] = {
        {"::g", "", R"(Invalid IPv6 address "::g")"},
        {"[::1", "", R"(Missing "]" in "[::1")"},
        {"fe80::1%eth0", "", R"(Zone index not allowed in "fe80::1%eth0")"},
        {"//2001:db8::7::1", "", R"(Invalid IPv6 address "2001:db8::7::1")"},
        {"http://[::1", "", R"(Missing "]" in "[::1")"},
        {"https://[::1]:65536/", "", R"(Invalid port "65536")"},
        {"http://2001:db8::7/", "", R"(An IPv6 address stands in brackets: "2001:db8::7")"},
        {"http://[fe80::1%25eth0]/", "", R"(Zone index not allowed in "[fe80::1%25eth0]")"},
        {"https://web/", "[2001:db8::1:3128", R"(Proxy: Missing "]" in "[2001:db8::1")"},
        {"http://web/", "[2001:db8::zz]:3128", R"(Proxy: Invalid IPv6 address "2001:db8::zz")"},
    };
    std::vector<std::string> seen;
    WorkerHarness h([&seen](const ProbeOutcome& o) {
        seen.push_back(std::string(o.target) + (o.reachable ? " up: " : " down: ") + o.detail);
    });
    for (const auto& c : cases) {
        h.Add(c.target, c.proxy, HostState::Up);
    }
    h.RunCycle();
    ASSERT_EQ(seen.size(), std::size(cases));
    for (std::size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i], std::string(cases[i].target) + " down: " + cases[i].detail);
    }
    EXPECT_TRUE(h.prober.Calls().empty());
}

TEST(CheckHostsOutcome, ProbeHookTellsTheOutcomeAndTheProbesText)
{
    std::vector<std::string> seen;
    WorkerHarness h([&seen](const ProbeOutcome& o) {
        seen.push_back(std::string(o.target) + (o.kind == HostKind::HTTP ? " web " : " echo ") +
                       (o.reachable ? "up: " : "down: ") + o.detail +
                       (o.cause ? " [" + o.cause->key + " " + o.cause->argument + "]" : ""));
    });
    h.Add("192.0.2.7", "", HostState::Down);
    h.prober.Script("192.0.2.7",
                    FakeProber::Echo(ReplyFrom(ReplyKind::EchoReply, "192.0.2.7", 64)));
    h.Add("http://web", "", HostState::Down);
    h.Add("http://web/x", "proxy:3128", HostState::Down);
    h.prober.Script("proxy", FakeProber::ProxyStatus(502));
    h.Add("http://web/y", "proxy:99999", HostState::Down);
    h.RunCycle();
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "192.0.2.7 echo up: Echo reply from 192.0.2.7, TTL 64",
                        "http://web web down: Socket Error # 10061\r\nConnection refused. "
                        "[CauseRefused ]",
                        "http://web/x web down: Proxy answered 502 [CauseProxy 502]",
                        "http://web/y web down: Invalid proxy port 99999.",
                    }));
}

// The round trip goes to the trace, and into the entry at the cycle's end
// while the entry answers, whether or not its state changed; an entry that
// fails loses the one it had.
TEST(CheckHostsOutcome, RoundTripReachesTheTraceAndTheEntry)
{
    using std::chrono::microseconds;
    std::vector<std::optional<microseconds>> traced;
    WorkerHarness h([&traced](const ProbeOutcome& o) { traced.push_back(o.roundTrip); });
    h.Add("192.0.2.7", "", HostState::Down);
    h.prober.Script(
        "192.0.2.7",
        FakeProber::InTurn({FakeProber::TakingRoundTrip(
                                microseconds(210),
                                FakeProber::Echo(ReplyFrom(ReplyKind::EchoReply, "192.0.2.7", 64))),
                            FakeProber::TakingRoundTrip(
                                microseconds(350),
                                FakeProber::Echo(ReplyFrom(ReplyKind::EchoReply, "192.0.2.7", 64))),
                            FakeProber::Echo(ReplyFrom(ReplyKind::TimedOut, "0.0.0.0", 0))}));
    h.Add("http://web/x", "proxy:3128", HostState::Up);
    // A proxy that cannot reach the host answers quickly; that is no round
    // trip of the host.
    h.prober.Script("proxy",
                    FakeProber::TakingRoundTrip(microseconds(900), FakeProber::ProxyStatus(502)));

    h.RunCycle();
    EXPECT_EQ(traced,
              (std::vector<std::optional<microseconds>>{microseconds(210), microseconds(900)}));
    EXPECT_EQ(h.hosts.At(0)->LastRoundTrip(), microseconds(210));
    EXPECT_EQ(h.hosts.At(1)->LastRoundTrip(), std::nullopt);

    h.RunCycle();
    EXPECT_EQ(h.hosts.At(0)->LastRoundTrip(), microseconds(350)) << "unchanged state, new time";

    h.RunCycle();
    EXPECT_EQ(h.hosts.At(0)->LastRoundTrip(), std::nullopt);
}

} // namespace
} // namespace pelmora::test
