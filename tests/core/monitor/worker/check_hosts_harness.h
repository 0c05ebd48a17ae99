#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/monitor/worker/check_hosts.h"
#include "core/monitor/worker/hand_over_queue.h"
#include "fake_probes.h"

namespace pelmora::test {

class RecordingSink final : public CheckSink {
public:
    void AppendLogLine(const std::string& line) override;
    void ShowReport(const std::string& report) override;

    std::vector<std::string> log;
    std::vector<std::string> reports;
    // Runs after each log line, on the serving thread.
    std::function<void()> onLogLine;
};

// A worker over fake probes whose hand-overs the test's own thread serves.
// Message texts read "<language>:<key>", or "<language>:<text>" for a key
// in `texts`; the time of day is always 9:05:07; the monotonic clock stands
// at `now` until the test moves it.
struct WorkerHarness {
    explicit WorkerHarness(std::function<void(const ProbeOutcome&)> onProbe = nullptr);

    HostEntry& Add(const std::string& target, const std::string& proxy, HostState state);
    // Wakes the worker and serves its hand-overs until the cycle has ended.
    void RunCycle();

    HostList hosts;
    FakeProber prober;
    HandOverQueue handOver;
    RecordingSink sink;
    std::string language = "en";
    std::map<std::string, std::string, std::less<>> texts;
    std::chrono::steady_clock::time_point now;
    TCheckHosts worker;
};

} // namespace pelmora::test
