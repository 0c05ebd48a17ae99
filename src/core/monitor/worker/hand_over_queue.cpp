#include "core/monitor/worker/hand_over_queue.h"

#include <algorithm>

namespace pelmora {

bool HandOverQueue::Synchronize(const std::function<void()>& step)
{
    std::unique_lock lock(mutex_);
    if (closed_) {
        return false;
    }
    Pending pending{&step, StepState::Queued};
    queue_.push_back(&pending);
    ownerWake_.notify_all();
    // A step the owner has taken up is waited for even after a close: it
    // refers to the worker's state, which must outlive it.
    workerWake_.wait(lock, [&] {
        return pending.state == StepState::Done || (closed_ && pending.state == StepState::Queued);
    });
    if (pending.state == StepState::Queued) {
        queue_.erase(std::find(queue_.begin(), queue_.end(), &pending));
        return false;
    }
    return true;
}

void HandOverQueue::Close()
{
    const std::lock_guard lock(mutex_);
    closed_ = true;
    ++notifications_;
    workerWake_.notify_all();
    ownerWake_.notify_all();
}

void HandOverQueue::Notify()
{
    const std::lock_guard lock(mutex_);
    ++notifications_;
    ownerWake_.notify_all();
}

void HandOverQueue::Finish(Pending& pending)
{
    const std::lock_guard lock(mutex_);
    pending.state = StepState::Done;
    workerWake_.notify_all();
}

std::size_t HandOverQueue::ServePending()
{
    std::size_t served = 0;
    for (;;) {
        Pending* pending = nullptr;
        {
            const std::lock_guard lock(mutex_);
            if (closed_ || queue_.empty()) {
                return served;
            }
            pending = queue_.front();
            queue_.pop_front();
            pending->state = StepState::Running;
        }
        ++served;
        try {
            (*pending->step)();
        } catch (...) {
            Finish(*pending);
            throw;
        }
        Finish(*pending);
    }
}

void HandOverQueue::ServeUntil(const std::function<bool()>& finished)
{
    for (;;) {
        std::uint64_t seen = 0;
        {
            const std::lock_guard lock(mutex_);
            seen = notifications_;
        }
        ServePending();
        if (finished()) {
            return;
        }
        std::unique_lock lock(mutex_);
        ownerWake_.wait(lock,
                        [&] { return notifications_ != seen || (!closed_ && !queue_.empty()); });
    }
}

} // namespace pelmora
