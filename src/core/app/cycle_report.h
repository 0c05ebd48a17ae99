#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "core/monitor/hosts/host_entry.h"

namespace pelmora {

// One entry of the host list as a check cycle left it.
struct CycleHost {
    std::string target;
    HostKind kind = HostKind::IP;
    std::string proxy;
    bool up = false;
    bool changed = false;
    std::optional<std::chrono::microseconds> roundTrip;
    // The message key of why the entry is down (CauseRefused...); empty when
    // it is up or no cause is known.
    std::string cause;
};

// What pelmora-check writes for a cycle in its machine-readable formats.
struct CycleReport {
    std::chrono::system_clock::time_point time;
    std::vector<CycleHost> hosts; // in list order
};

} // namespace pelmora
