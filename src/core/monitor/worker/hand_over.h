#pragma once

#include <functional>

namespace pelmora {

// How the check worker reaches the thread that owns the user interface. The
// worker hands a step over and blocks until the owning thread has run it, so
// the step may touch windows and the worker's own report texts without a lock.
//
// An implementation serves steps from the owning thread's event loop, and
// from every nested loop on that thread (modal dialogs), so the worker goes on
// while a dialog is open. Over Qt: Synchronize posts a queued call and waits
// on a condition; ServeUntil runs QEventLoop::processEvents until the
// condition holds; Notify posts an empty queued call to wake that loop.
class HandOver {
public:
    HandOver() = default;
    HandOver(const HandOver&) = delete;
    HandOver& operator=(const HandOver&) = delete;
    virtual ~HandOver() = default;

    // Worker side: runs `step` on the owning thread and returns true once it
    // has run. Returns false, and the step never runs, when the hand-over is
    // closed before the owning thread took the step up (also while waiting).
    virtual bool Synchronize(const std::function<void()>& step) = 0;

    // Any thread: abandons the pending step and every later one. Used when the
    // worker is being stopped, so it never waits for a thread that is busy
    // stopping it.
    virtual void Close() = 0;

    // Owning thread: serves steps until `finished()` holds. The condition is
    // checked again after steps have run and after each Notify(); it is called
    // without any lock of the hand-over held.
    virtual void ServeUntil(const std::function<bool()>& finished) = 0;

    // Any thread: makes a running ServeUntil check its condition again.
    virtual void Notify() = 0;
};

} // namespace pelmora
