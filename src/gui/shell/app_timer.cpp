#include "gui/shell/app_timer.h"

namespace pelmora {

AppTimer::AppTimer(QObject* parent, std::int32_t interval, bool enabled)
    : QObject(parent), interval_(interval), enabled_(enabled)
{
    connect(&timer_, &QTimer::timeout, this, &AppTimer::Tick);
    Restart();
}

void AppTimer::SetInterval(std::int32_t interval)
{
    if (interval == interval_) {
        return;
    }
    interval_ = interval;
    Restart();
}

void AppTimer::SetEnabled(bool enabled)
{
    if (enabled == enabled_) {
        return;
    }
    enabled_ = enabled;
    Restart();
}

void AppTimer::Restart()
{
    timer_.stop();
    if (enabled_ && interval_ > 0) {
        timer_.start(interval_);
    }
}

} // namespace pelmora
