#pragma once

#include <QObject>
#include <QString>

#include <cstddef>
#include <optional>
#include <vector>

#include "core/monitor/hosts/host_entry.h"
#include "gui/shell/image_list.h"

class QSystemTrayIcon;

namespace pelmora {

// The tray icon's picture and tooltip follow the overall state: the normal
// picture while every host is up, a red mark while any is down, a grey one
// while monitoring is stopped; the tooltip adds "N of M hosts down" to the
// hint the language file gives the icon.
class TrayStatus final : public QObject {
public:
    explicit TrayStatus(QSystemTrayIcon* icon);

    // Mirrors of the host list's changes, in list order.
    void Reset();
    void Appended(HostState state);
    void Changed(std::size_t index, HostState state);
    void SetRunning(bool running);

    std::size_t DownCount() const { return down_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Show();

    QSystemTrayIcon* icon_;
    std::vector<HostState> states_;
    std::size_t down_ = 0;
    bool running_ = true;
    std::optional<TrayState> shown_;
    // The hint the language file set (translation stores it on the icon).
    QString hint_;
    // The "N of M" text's template, read when the language is applied.
    QString downTemplate_;
};

} // namespace pelmora
