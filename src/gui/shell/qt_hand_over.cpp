#include "gui/shell/qt_hand_over.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>

#include <exception>
#include <utility>

#include "core/base/error_message.h"
#include "gui/config/error_box.h"

namespace pelmora {

QtHandOver::QtHandOver(QObject* context, ShowError showError)
    : context_(context), showError_(std::move(showError))
{
}

void QtHandOver::ShowErrorInBox(const std::string& message)
{
    ShowErrorBox(nullptr, message);
}

bool QtHandOver::Synchronize(const std::function<void()>& step)
{
    std::unique_lock lock(mutex_);
    if (closed_) {
        return false;
    }
    pending_ = &step;
    ran_ = false;
    QMetaObject::invokeMethod(
        context_,
        [this] {
            const std::function<void()>* taken = nullptr;
            {
                const std::lock_guard guard(mutex_);
                taken = pending_;
                pending_ = nullptr;
            }
            if (taken == nullptr) {
                return; // abandoned
            }
            std::exception_ptr failure;
            try {
                (*taken)();
            } catch (...) {
                failure = std::current_exception();
            }
            {
                const std::lock_guard guard(mutex_);
                ran_ = true;
                done_.notify_all();
            }
            if (failure) {
                showError_(ErrorMessage(failure));
            }
        },
        Qt::QueuedConnection);
    done_.wait(lock, [this] { return ran_ || closed_; });
    if (!ran_) {
        pending_ = nullptr;
    }
    return ran_;
}

void QtHandOver::Close()
{
    {
        const std::lock_guard lock(mutex_);
        closed_ = true;
        // A step the owner has not taken up yet never runs.
        pending_ = nullptr;
    }
    done_.notify_all();
}

void QtHandOver::ServeUntil(const std::function<bool()>& finished)
{
    while (!finished()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void QtHandOver::Notify()
{
    QMetaObject::invokeMethod(
        context_, [] {}, Qt::QueuedConnection);
}

} // namespace pelmora
