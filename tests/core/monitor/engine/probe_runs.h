#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/monitor/engine/probe_engine.h"
#include "core/monitor/net/stop_signal.h"

namespace pelmora::test {

ProbeJob EchoJob(std::string host);
ProbeJob ConnectJob(std::string host, std::uint16_t port);
ProbeJob ProxyJob(std::string server, std::uint16_t port, std::string request);

// Starts every job at once on the engine, as list entries 0, 1, ..., waits
// until all have ended and ends the cycle. Answers by entry; an entry that
// was still running when `stop` was raised keeps a default answer with the
// failure "still running".
std::vector<ProbeAnswer> RunProbes(ProbeEngine& engine, const std::vector<ProbeJob>& jobs,
                                   const StopSignal& stop);
std::vector<ProbeAnswer> RunProbes(ProbeEngine& engine, const std::vector<ProbeJob>& jobs);
ProbeAnswer RunProbe(ProbeEngine& engine, const ProbeJob& job);

// What an answer says in one line: the failure text, "connected", "status N",
// or the reply status as test::Describe gives it.
std::string Told(const ProbeAnswer& answer, ProbeKind kind);

} // namespace pelmora::test
