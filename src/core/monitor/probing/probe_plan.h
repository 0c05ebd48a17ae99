#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/monitor/probing/probe_job.h"

namespace pelmora {

// What a host entry's probe is: the job to start, or the failure text when
// the entry cannot be probed at all (a web address without a usable host,
// port or proxy port), which makes it unreachable without any traffic.
struct ProbePlan {
    std::optional<ProbeJob> job;
    std::string failure;
};

// By kind: an IP or LAN entry is pinged under its ICMP probe name; a web
// entry without proxy text (or with a proxy text whose port is no number) is
// connected to at its host and port; any other web entry is asked for
// through its proxy, a secure one with a CONNECT request.
ProbePlan PlanProbe(std::string_view target, std::string_view proxy);

} // namespace pelmora
