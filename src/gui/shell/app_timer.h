#pragma once

#include <QObject>
#include <QTimer>

#include <cstdint>

namespace pelmora {

// A timer with the rules the program relies on: an interval of 0 or less
// never fires; enabling an enabled timer does not restart its countdown;
// setting an interval restarts the countdown only when the value changes.
class AppTimer final : public QObject {
    Q_OBJECT
public:
    explicit AppTimer(QObject* parent, std::int32_t interval, bool enabled);

    std::int32_t Interval() const { return interval_; }
    void SetInterval(std::int32_t interval);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // Whether a countdown is actually running (enabled with a usable interval).
    bool IsTicking() const { return timer_.isActive(); }
    // Milliseconds left of the running countdown; -1 when not ticking.
    int RemainingMs() const { return timer_.remainingTime(); }

Q_SIGNALS:
    void Tick();

private:
    void Restart();

    QTimer timer_;
    std::int32_t interval_;
    bool enabled_;
};

} // namespace pelmora
