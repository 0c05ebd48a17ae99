#pragma once

#include <atomic>
#include <chrono>

// The system's wait handle type, from posix/ or windows/.
#include "net_types.h"

namespace pelmora {

// A one-way "stop now" flag that a blocking wait of the system can include
// among what it watches: once raised, its handle stays ready (an eventfd
// readable in a poll() set on Linux, a manual-reset event signalled for
// WaitForMultipleObjects on Windows), so every probe wait that watches it
// returns at once. Raising is safe from any thread.
class StopSignal {
public:
    StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;
    ~StopSignal();

    void Raise();
    bool IsRaised() const { return raised_.load(std::memory_order_acquire); }
    // Waits until raised or `timeout` has passed (a negative one waits for
    // the raise alone); true when raised.
    bool WaitFor(std::chrono::milliseconds timeout) const;
    // Ready once raised.
    StopHandle Handle() const { return handle_; }

private:
    StopHandle handle_;
    std::atomic<bool> raised_{false};
};

} // namespace pelmora
