#include <gtest/gtest.h>

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
         {"9:05:07. en:LoseHost hostA", "9:05:07. en:AppearHost hostB",
          "9:05:07. en:LoseHost hostC"},
         {"en:LoseHosts\r\n  hostA\r\n  hostC\r\n\r\nen:AppearHosts\r\n  hostB"}},
        {"only lost hosts: the report ends with an empty line",
         {{"hostA", HostState::Up, false}},
         {"9:05:07. en:LoseHost hostA"},
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
    EXPECT_EQ(h.sink.log.back(), "9:05:07. de:LoseHost hostA");
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

} // namespace
} // namespace pelmora::test
