#pragma once

#include <atomic>

#include "core/base/unique_fd.h"

namespace pelmora {

// A one-way "stop now" flag that a blocking wait can include in its poll()
// set: once raised, its descriptor stays readable, so every probe wait that
// watches it returns at once. Raising is safe from any thread.
class StopSignal {
public:
    StopSignal();

    void Raise();
    bool IsRaised() const { return raised_.load(std::memory_order_acquire); }
    // Readable once raised.
    int Fd() const { return event_.Get(); }

private:
    UniqueFd event_;
    std::atomic<bool> raised_{false};
};

} // namespace pelmora
