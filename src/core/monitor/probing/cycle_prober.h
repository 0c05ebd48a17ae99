#pragma once

#include <cstddef>
#include <optional>

#include "core/monitor/probing/probe_job.h"

namespace pelmora {

class StopSignal;

// Runs the probes of one check cycle side by side for the worker, which
// starts them and collects their answers on its own thread: Start never
// waits for the network, WaitNext returns whichever probe ends first.
class CycleProber {
public:
    CycleProber() = default;
    CycleProber(const CycleProber&) = delete;
    CycleProber& operator=(const CycleProber&) = delete;
    virtual ~CycleProber() = default;

    // Starts the probe of list entry `entry`. An entry has at most one probe
    // at a time; once its answer is taken it may be started again in the
    // same cycle (another attempt).
    virtual void Start(std::size_t entry, const ProbeJob& job) = 0;
    // Waits until a started probe has ended and tells how. Nothing, at once,
    // when `stop` is or becomes raised; the probes still running then are
    // left to EndCycle.
    virtual std::optional<ProbeAnswer> WaitNext(const StopSignal& stop) = 0;
    // Abandons every probe still running and lets go of what the cycle held.
    virtual void EndCycle() = 0;
};

} // namespace pelmora
