#pragma once

#include <QObject>

#include <condition_variable>
#include <mutex>

#include "core/monitor/worker/hand_over.h"

namespace pelmora {

// Hands the check worker's steps to the Qt event loop of the thread that
// owns `context`: a queued call that the worker waits for. Every event loop
// on that thread serves it, modal dialogs' loops included.
class QtHandOver final : public HandOver {
public:
    explicit QtHandOver(QObject* context) : context_(context) {}

    bool Synchronize(const std::function<void()>& step) override;
    void Close() override;
    void ServeUntil(const std::function<bool()>& finished) override;
    void Notify() override;

private:
    QObject* context_;
    std::mutex mutex_;
    std::condition_variable done_;
    bool closed_ = false;
    // The step currently handed over, and whether the owner has run it.
    const std::function<void()>* pending_ = nullptr;
    bool ran_ = false;
};

} // namespace pelmora
