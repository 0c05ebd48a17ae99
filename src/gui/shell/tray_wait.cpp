#include "gui/shell/tray_wait.h"

#include <utility>

namespace pelmora {

TrayWait::TrayWait(QObject* parent, Steps steps, std::chrono::milliseconds poll,
                   std::chrono::milliseconds patience)
    : QObject(parent), steps_(std::move(steps)), patience_(patience)
{
    timer_.setInterval(poll);
    connect(&timer_, &QTimer::timeout, this, &TrayWait::Poll);
}

void TrayWait::Start()
{
    started_ = std::chrono::steady_clock::now();
    if (steps_.available()) {
        steps_.enterTray();
        return;
    }
    timer_.start();
}

void TrayWait::Poll()
{
    if (steps_.available()) {
        timer_.stop();
        steps_.enterTray();
    } else if (!fellBack_ && std::chrono::steady_clock::now() - started_ >= patience_) {
        fellBack_ = true;
        steps_.fallBack();
    }
}

} // namespace pelmora
