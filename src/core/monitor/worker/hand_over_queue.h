#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

#include "core/monitor/worker/hand_over.h"

namespace pelmora {

// A hand-over for a plain owner thread without an event loop (the console
// front-end, tests): steps wait in a queue until the owner serves them.
class HandOverQueue final : public HandOver {
public:
    bool Synchronize(const std::function<void()>& step) override;
    void Close() override;
    void ServeUntil(const std::function<bool()>& finished) override;
    void Notify() override;

    // Owner side: runs the steps queued so far, in order, and returns how many
    // ran. A step that throws is still counted as run (its worker goes on);
    // the error then reaches the owner.
    std::size_t ServePending();

private:
    enum class StepState : std::uint8_t { Queued, Running, Done };
    struct Pending {
        const std::function<void()>* step;
        StepState state;
    };

    void Finish(Pending& pending);

    std::mutex mutex_;
    std::condition_variable ownerWake_;
    std::condition_variable workerWake_;
    std::deque<Pending*> queue_;
    std::uint64_t notifications_ = 0;
    bool closed_ = false;
};

} // namespace pelmora
