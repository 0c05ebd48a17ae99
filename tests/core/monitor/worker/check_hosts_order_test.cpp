#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "check_hosts_harness.h"
#include "core/monitor/probing/parallel_checks.h"

namespace pelmora::test {
namespace {

using std::chrono::milliseconds;

struct Listed {
    std::string target;
    std::string proxy;
    HostState before;
    // Scripted under the host the probe is asked for; none: the default.
    std::string scriptedHost;
    FakeProber::Action action;
};

struct OrderCase {
    const char* what;
    std::vector<Listed> hosts;
};

FakeProber::Action Up(milliseconds after)
{
    return FakeProber::After(after,
                             FakeProber::Echo(ReplyFrom(ReplyKind::EchoReply, "192.0.2.9", 64)));
}

FakeProber::Action Silent(milliseconds after)
{
    return FakeProber::After(after, FakeProber::Echo(ReplyFrom(ReplyKind::TimedOut, "0.0.0.0", 0)));
}

// What the user and a verbose run see of one cycle.
struct Seen {
    std::vector<std::string> trace;
    std::vector<std::string> log;
    std::vector<std::string> reports;
    std::vector<HostState> states;
    std::vector<std::size_t> ended;
    std::size_t mostInFlight = 0;
};

Seen RunOnce(const OrderCase& c, std::size_t limit)
{
    Seen seen;
    WorkerHarness h([&seen](const ProbeOutcome& o) {
        seen.trace.push_back(std::string(o.target) + (o.reachable ? " up: " : " down: ") +
                             o.detail);
    });
    h.worker.SetParallelLimit(limit);
    for (const Listed& l : c.hosts) {
        h.Add(l.target, l.proxy, l.before);
        if (l.action) {
            h.prober.Script(l.scriptedHost, l.action);
        }
    }
    h.RunCycle();
    seen.log = h.sink.log;
    seen.reports = h.sink.reports;
    for (std::size_t i = 0; i < h.hosts.Count(); ++i) {
        seen.states.push_back(h.hosts.At(i)->State());
    }
    seen.ended = h.prober.Ended();
    seen.mostInFlight = h.prober.MostInFlight();
    return seen;
}

// Probes that end out of list order, side by side, still give exactly what
// one probe after another gives: the same trace, log lines, report and
// states, in list order.
TEST(CheckHostsOrder, SideBySideGivesWhatOneAfterAnotherGives)
{
    const std::vector<OrderCase> cases = {
        {"echo answers in reverse order",
         {{"192.0.2.1", "", HostState::Down, "192.0.2.1", Up(milliseconds(40))},
          {"192.0.2.2", "", HostState::Up, "192.0.2.2", Silent(milliseconds(20))},
          {"192.0.2.3", "", HostState::Down, "192.0.2.3", Up(milliseconds(0))}}},
        {"mixed kinds, names, refusals and silence",
         {{"http://web1/", "", HostState::Down, "web1",
           FakeProber::After(milliseconds(30), FakeProber::Connected())},
          {"//pc2", "", HostState::Up, "pc2",
           FakeProber::After(milliseconds(5),
                             FakeProber::Fail("Socket Error # 11001\r\nHost not found."))},
          {"http://web3/x", "proxy3:3128", HostState::Down, "proxy3",
           FakeProber::After(milliseconds(10), FakeProber::ProxyStatus(200))},
          {"http://web4/", "proxy4:8080", HostState::Up, "proxy4",
           FakeProber::After(milliseconds(25), FakeProber::ProxyStatus(502))},
          {"http://web5/", "", HostState::Up, "web5",
           FakeProber::Fail("Socket Error # 10061\r\nConnection refused.")},
          {"http://", "", HostState::Up, "", nullptr},
          {"host7", "", HostState::Down, "host7", Up(milliseconds(15))},
          {"192.0.2.8", "", HostState::Up, "192.0.2.8", nullptr}}},
        {"one target twice, answered at different times",
         {{"hostA", "", HostState::Down, "hostA", Up(milliseconds(20))},
          {"hostA", "", HostState::Down, "hostA", Up(milliseconds(20))},
          {"hostB", "", HostState::Down, "hostB", Up(milliseconds(0))}}},
        {"nothing changes", {{"hostA", "", HostState::Up, "hostA", Up(milliseconds(10))}}},
    };
    for (const OrderCase& c : cases) {
        SCOPED_TRACE(c.what);
        const Seen oneByOne = RunOnce(c, 1);
        const Seen sideBySide = RunOnce(c, kDefaultParallelChecks);
        EXPECT_EQ(sideBySide.trace, oneByOne.trace);
        EXPECT_EQ(sideBySide.log, oneByOne.log);
        EXPECT_EQ(sideBySide.reports, oneByOne.reports);
        EXPECT_EQ(sideBySide.states, oneByOne.states);
        EXPECT_EQ(oneByOne.mostInFlight, 1U);
        if (c.hosts.size() > 1) {
            // Otherwise the case would prove nothing.
            EXPECT_GT(sideBySide.mostInFlight, 1U);
            EXPECT_FALSE(std::is_sorted(sideBySide.ended.begin(), sideBySide.ended.end()));
        }
    }
}

TEST(CheckHostsOrder, NoMoreProbesAtOnceThanTheLimit)
{
    for (const std::size_t limit : {std::size_t{0}, std::size_t{1}, std::size_t{3}}) {
        SCOPED_TRACE(limit);
        WorkerHarness h;
        h.worker.SetParallelLimit(limit);
        for (int i = 0; i < 10; ++i) {
            const std::string host = "host" + std::to_string(i);
            h.Add(host, "", HostState::Down);
            h.prober.Script(host, Up(milliseconds(i % 3)));
        }
        h.RunCycle();
        EXPECT_EQ(h.prober.MostInFlight(), std::max<std::size_t>(limit, 1));
        EXPECT_EQ(h.sink.log.size(), 10U);
    }
}

} // namespace
} // namespace pelmora::test
