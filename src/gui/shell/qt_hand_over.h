#pragma once

#include <QObject>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

#include "core/monitor/worker/hand_over.h"

namespace pelmora {

// Hands the check worker's steps to the Qt event loop of the thread that
// owns `context`: a queued call that the worker waits for. Every event loop
// on that thread serves it, modal dialogs' loops included. A step that fails
// releases the worker first; then `showError` tells the user the failure's
// message (by default in an error box). Nothing is thrown through Qt's event
// loop, which is not made for it.
class QtHandOver final : public HandOver {
public:
    using ShowError = std::function<void(const std::string& message)>;

    explicit QtHandOver(QObject* context, ShowError showError = ShowErrorInBox);

    bool Synchronize(const std::function<void()>& step) override;
    void Close() override;
    void ServeUntil(const std::function<bool()>& finished) override;
    void Notify() override;

private:
    static void ShowErrorInBox(const std::string& message);

    QObject* context_;
    ShowError showError_;
    std::mutex mutex_;
    std::condition_variable done_;
    bool closed_ = false;
    // The step currently handed over, and whether the owner has run it.
    const std::function<void()>* pending_ = nullptr;
    bool ran_ = false;
};

} // namespace pelmora
