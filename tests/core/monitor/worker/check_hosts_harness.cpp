#include "check_hosts_harness.h"

#include <utility>

namespace pelmora::test {

void RecordingSink::AppendLogLine(const std::string& line)
{
    log.push_back(line);
    if (onLogLine) {
        onLogLine();
    }
}

void RecordingSink::ShowReport(const std::string& report)
{
    reports.push_back(report);
}

WorkerHarness::WorkerHarness(std::function<void(const ProbeOutcome&)> onProbe)
    : worker(CheckHostsLinks{
          .hosts = hosts,
          .prober = prober,
          .handOver = handOver,
          .sink = sink,
          .messageText =
              [this](std::string_view key) {
                  const auto text = texts.find(key);
                  return language + ":" + (text == texts.end() ? std::string(key) : text->second);
              },
          .timeOfDay = [] { return std::string("9:05:07"); },
          .clock = [this] { return now; },
          .onProbe = std::move(onProbe),
      })
{
}

HostEntry& WorkerHarness::Add(const std::string& target, const std::string& proxy, HostState state)
{
    HostEntry& entry = hosts.Append(target, proxy);
    entry.SetState(state);
    return entry;
}

void WorkerHarness::RunCycle()
{
    worker.Wake();
    handOver.ServeUntil([this] { return worker.IsAsleep(); });
}

} // namespace pelmora::test
