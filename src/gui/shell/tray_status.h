#pragma once

#include <QObject>

#include <cstddef>
#include <optional>

#include "core/monitor/hosts/host_entry.h"
#include "core/shell/overall_status.h"

class QSystemTrayIcon;

namespace pelmora {

// Puts the overall status on the tray icon: the picture and the tooltip that
// OverallStatus decides, after every change and whenever a language gives
// the icon its hint (translation stores it on the icon as a property).
class TrayStatus final : public QObject {
public:
    explicit TrayStatus(QSystemTrayIcon* icon);

    // Mirrors of the host list's changes, in list order.
    void Reset();
    void Appended(HostState state);
    void Changed(std::size_t index, HostState state);
    void SetRunning(bool running);

    std::size_t DownCount() const { return status_.DownCount(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Show();

    QSystemTrayIcon* icon_;
    OverallStatus status_;
    std::optional<TrayState> shown_;
};

} // namespace pelmora
