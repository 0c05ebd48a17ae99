#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "check_hosts_harness.h"

namespace pelmora::test {
namespace {

struct Watched {
    std::string target;
    HostState before;
    bool answers;
};

struct ReportCase {
    const char* what;
    std::vector<Watched> hosts;
    std::vector<std::string> log;
    std::vector<std::string> reports;
};

void Answering(WorkerHarness& h, const std::string& host)
{
    h.prober.Script(host, FakeProber::Echo(ReplyFrom(ReplyKind::EchoReply, "192.0.2.9", 64)));
}

void Silent(WorkerHarness& h, const std::string& host)
{
    h.prober.Script(host, FakeProber::Echo(ReplyFrom(ReplyKind::TimedOut, "0.0.0.0", 0)));
}

TEST(CheckHostsReport, LogLinesAndReportOfOneCycle)
{
    const std::vector<ReportCase> cases = {
        {"lost and appeared: lost block first, an empty line between",
         {{"hostA", HostState::Up, false},
          {"hostB", HostState::Down, true},
          {"hostC", HostState::Up, false}},
         {"9:05:07. en:LoseHost hostA - en:CauseNoAnswer", "9:05:07. en:AppearHost hostB",
          "9:05:07. en:LoseHost hostC - en:CauseNoAnswer"},
         {"en:LoseHosts\r\n  hostA\r\n  hostC\r\n\r\nen:AppearHosts\r\n  hostB"}},
        {"only lost hosts: the report ends with an empty line",
         {{"hostA", HostState::Up, false}},
         {"9:05:07. en:LoseHost hostA - en:CauseNoAnswer"},
         {"en:LoseHosts\r\n  hostA\r\n\r\n"}},
        {"one target in two entries: each reported",
         {{"hostA", HostState::Down, true}, {"hostA", HostState::Down, true}},
         {"9:05:07. en:AppearHost hostA", "9:05:07. en:AppearHost hostA"},
         {"en:AppearHosts\r\n  hostA\r\n  hostA"}},
        {"empty list", {}, {}, {}},
        {"nothing changed",
         {{"hostA", HostState::Up, true}, {"hostB", HostState::Down, false}},
         {},
         {}},
    };
    for (const ReportCase& c : cases) {
        SCOPED_TRACE(c.what);
        WorkerHarness h;
        for (const Watched& w : c.hosts) {
            h.Add(w.target, "", w.before);
            if (w.answers) {
                Answering(h, w.target);
            }
        }
        h.RunCycle();
        EXPECT_EQ(h.sink.log, c.log);
        EXPECT_EQ(h.sink.reports, c.reports);
    }
}

// Each cycle reports only its own changes, in the language of that moment.
TEST(CheckHostsReport, LaterCyclesStartAfresh)
{
    WorkerHarness h;
    h.Add("hostA", "", HostState::Down);
    Answering(h, "hostA");
    h.RunCycle();
    ASSERT_EQ(h.sink.reports, std::vector<std::string>{"en:AppearHosts\r\n  hostA"});

    h.RunCycle();
    EXPECT_EQ(h.sink.log.size(), 1U);
    EXPECT_EQ(h.sink.reports.size(), 1U);

    h.language = "de";
    Silent(h, "hostA");
    h.RunCycle();
    EXPECT_EQ(h.sink.log.back(), "9:05:07. de:LoseHost hostA - de:CauseNoAnswer");
    EXPECT_EQ(h.sink.reports.back(), "de:LoseHosts\r\n  hostA\r\n\r\n");
}

// An entry gone from the list is passed over and the worker stays usable.
// One after another, it is not even probed.
TEST(CheckHostsReport, EntryThatVanishesIsSkipped)
{
    WorkerHarness h;
    h.worker.SetParallelLimit(1);
    h.Add("hostA", "", HostState::Down);
    h.Add("hostB", "", HostState::Down);
    Answering(h, "hostA");
    Answering(h, "hostB");
    h.sink.onLogLine = [&h] { h.hosts.Clear(); };
    h.RunCycle();
    EXPECT_EQ(h.sink.log, std::vector<std::string>{"9:05:07. en:AppearHost hostA"});
    EXPECT_EQ(h.sink.reports, std::vector<std::string>{"en:AppearHosts\r\n  hostA"});
    EXPECT_EQ(h.prober.Calls(), std::vector<std::string>{"echo hostA"});

    h.sink.onLogLine = nullptr;
    h.Add("hostC", "", HostState::Down);
    Answering(h, "hostC");
    h.RunCycle();
    EXPECT_EQ(h.sink.log.back(), "9:05:07. en:AppearHost hostC");
}

// A lost host's line ends with why, in the language of the moment, the
// reporter put in; an appeared one's with how long it was away, by the
// worker's clock, unless nobody saw it go. The report keeps the targets
// alone.
TEST(CheckHostsReport, LogLinesTellWhyAHostWentAndHowLongItWasAway)
{
    using namespace std::chrono_literals;
    WorkerHarness h;
    h.texts = {{"CauseUnreachable", "unreachable, reported by %1"},
               {"CauseProxy", "the proxy answered %1"},
               {"DownFor", "down for %1"},
               {"UnitMinutes", "min"},
               {"UnitSeconds", "s"}};
    h.Add("192.0.2.7", "", HostState::Down);
    h.Add("http://web/", "proxy:3128", HostState::Up);
    h.prober.Script("192.0.2.7",
                    FakeProber::InTurn({
                        FakeProber::Echo(ReplyFrom(ReplyKind::EchoReply, "192.0.2.7", 64)),
                        FakeProber::Echo(ReplyFrom(ReplyKind::Unreachable, "10.0.0.1", 250)),
                        FakeProber::Echo(ReplyFrom(ReplyKind::Unreachable, "10.0.0.1", 250)),
                        FakeProber::Echo(ReplyFrom(ReplyKind::EchoReply, "192.0.2.7", 64)),
                    }));
    h.prober.Script("proxy",
                    FakeProber::InTurn({FakeProber::ProxyStatus(502), FakeProber::ProxyStatus(502),
                                        FakeProber::ProxyStatus(200)}));

    h.RunCycle();
    h.now += 40s;
    h.RunCycle();
    h.now += 3min + 12s;
    h.RunCycle();
    h.now += 10min;
    h.RunCycle();

    EXPECT_EQ(h.sink.log,
              (std::vector<std::string>{
                  "9:05:07. en:AppearHost 192.0.2.7",
                  "9:05:07. en:LoseHost http://web/ - en:the proxy answered 502",
                  "9:05:07. en:LoseHost 192.0.2.7 - en:unreachable, reported by 10.0.0.1",
                  "9:05:07. en:AppearHost http://web/ - en:down for 3 en:min 52 en:s",
                  "9:05:07. en:AppearHost 192.0.2.7 - en:down for 13 en:min 12 en:s",
              }));
    EXPECT_EQ(h.sink.reports.back(), "en:AppearHosts\r\n  192.0.2.7");
}

// Stopping forgets when the hosts went: the next appearance has no length.
TEST(CheckHostsReport, AllDownForgetsWhenHostsWent)
{
    using namespace std::chrono_literals;
    WorkerHarness h;
    h.Add("hostA", "", HostState::Up);
    Silent(h, "hostA");
    h.RunCycle();
    h.hosts.SetAllDown();
    Answering(h, "hostA");
    h.now += 1min;
    h.RunCycle();
    EXPECT_EQ(h.sink.log.back(), "9:05:07. en:AppearHost hostA");
}

} // namespace
} // namespace pelmora::test
