#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>

namespace pelmora {

// Waits for a notification area without holding anything else up. A desktop
// starts its panel and the programs of the login together, so the tray often
// comes a few seconds after the program. Until `patience` has passed the
// program only waits; then it falls back to its window, and it keeps looking,
// so that a tray that comes later still gets the program.
class TrayWait final : public QObject {
public:
    struct Steps {
        std::function<bool()> available; // is there a tray now?
        std::function<void()> enterTray; // once, when one is found
        std::function<void()> fallBack;  // once, when patience runs out first
    };

    TrayWait(QObject* parent, Steps steps, std::chrono::milliseconds poll,
             std::chrono::milliseconds patience);

    // Enters the tray at once when there is one, else starts waiting.
    void Start();
    bool Waiting() const { return timer_.isActive(); }

private:
    void Poll();

    Steps steps_;
    QTimer timer_;
    std::chrono::milliseconds patience_;
    std::chrono::steady_clock::time_point started_;
    bool fellBack_ = false;
};

} // namespace pelmora
