#include <gtest/gtest.h>

#include <functional>
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
        h.echo.Script(host, FakeEchoProbe::Answer(ReplyFrom(kind, source, ttl)));
    };
}

std::function<void(WorkerHarness&)> WebAnswers(const std::string& hostOrUrl,
                                               FakeHttpProbe::Action action)
{
    return [hostOrUrl, action = std::move(action)](WorkerHarness& h) {
        h.http.Script(hostOrUrl, action);
    };
}

void Nothing(WorkerHarness&) {}

constexpr const char* kOpenWeb80 = "open web:80 within 3000, read 3000, proxy :0";
constexpr const char* kGetViaProxy = "get web/x via proxy:3128, read 3000";

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
             h.echo.Script("nowhere",
                           FakeEchoProbe::Fail("Socket Error # 11001\r\nHost not found."));
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
         WebAnswers("web", FakeHttpProbe::Status(0)),
         true,
         {kOpenWeb80, "close"}},
        {"direct connect to the address's own port",
         "http://web:8080/index.html",
         "",
         WebAnswers("web", FakeHttpProbe::Status(0)),
         true,
         {"open web:8080 within 3000, read 3000, proxy :0", "close"}},
        {"direct connect refused", "http://web", "", Nothing, false, {kOpenWeb80}},
        {"web address without a host", "http://", "", Nothing, false, {}},
        {"web address with a port out of range", "http://web:99999", "", Nothing, false, {}},
        {"connection left open by an earlier check is closed first",
         "http://web",
         "",
         [](WorkerHarness& h) {
             h.http.LeaveConnectionOpen();
             h.http.Script("web", FakeHttpProbe::Status(0));
         },
         true,
         {"close", kOpenWeb80, "close"}},
        {"proxy answers 200",
         "http://web/x",
         "proxy:3128",
         WebAnswers("web/x", FakeHttpProbe::Status(200)),
         true,
         {kGetViaProxy}},
        {"proxy answers 404: the host was reached",
         "http://web/x",
         "proxy:3128",
         WebAnswers("web/x", FakeHttpProbe::Status(404)),
         true,
         {kGetViaProxy}},
        {"proxy wants authentication",
         "http://web/x",
         "proxy:3128",
         WebAnswers("web/x", FakeHttpProbe::Status(407)),
         false,
         {kGetViaProxy}},
        {"proxy answers 502",
         "http://web/x",
         "proxy:3128",
         WebAnswers("web/x", FakeHttpProbe::Status(502)),
         false,
         {kGetViaProxy}},
        {"proxy answers 503",
         "http://web/x",
         "proxy:3128",
         WebAnswers("web/x", FakeHttpProbe::Status(503)),
         false,
         {kGetViaProxy}},
        {"proxy answers 504",
         "http://web/x",
         "proxy:3128",
         WebAnswers("web/x", FakeHttpProbe::Status(504)),
         false,
         {kGetViaProxy}},
        {"proxy closes without an answer",
         "http://web/x",
         "proxy:3128",
         WebAnswers("web/x", []() -> int { throw EIdConnClosedGracefully(); }),
         false,
         {kGetViaProxy}},
        {"proxy stays silent", "http://web/x", "proxy:3128", Nothing, false, {kGetViaProxy}},
        {"proxy port that is no number: checked directly",
         "http://web",
         "proxy:31x8",
         WebAnswers("web", FakeHttpProbe::Status(0)),
         true,
         {kOpenWeb80, "close"}},
    };
    return cases;
}

std::vector<std::string> AllCalls(const WorkerHarness& h)
{
    std::vector<std::string> calls = h.echo.Calls();
    const std::vector<std::string> web = h.http.Calls();
    calls.insert(calls.end(), web.begin(), web.end());
    return calls;
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
            EXPECT_EQ(AllCalls(h), c.calls);
        }
    }
}

TEST(CheckHostsOutcome, DirectChangeIsReportedWhileTheConnectionIsOpen)
{
    WorkerHarness h;
    h.Add("http://web", "", HostState::Down);
    h.http.Script("web", FakeHttpProbe::Status(0));
    bool connectedAtLogLine = false;
    h.sink.onLogLine = [&] { connectedAtLogLine = h.http.IsConnected(); };
    h.RunCycle();
    EXPECT_TRUE(connectedAtLogLine);
    EXPECT_FALSE(h.http.IsConnected());
}

TEST(CheckHostsOutcome, ProbeHookTellsTheOutcomeAndTheProbesText)
{
    std::vector<std::string> seen;
    WorkerHarness h([&seen](const ProbeOutcome& o) {
        seen.push_back(std::string(o.target) + (o.kind == HostKind::HTTP ? " web " : " echo ") +
                       (o.reachable ? "up: " : "down: ") + o.detail);
    });
    h.Add("192.0.2.7", "", HostState::Down);
    h.echo.Script("192.0.2.7",
                  FakeEchoProbe::Answer(ReplyFrom(ReplyKind::EchoReply, "192.0.2.7", 64)));
    h.Add("http://web", "", HostState::Down);
    h.Add("http://web/x", "proxy:3128", HostState::Down);
    h.http.Script("web/x", FakeHttpProbe::Status(502));
    h.RunCycle();
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "192.0.2.7 echo up: Echo reply from 192.0.2.7, TTL 64",
                        "http://web web down: Socket Error # 10061\r\nConnection refused.",
                        "http://web/x web down: Proxy answered 502",
                    }));
}

} // namespace
} // namespace pelmora::test
