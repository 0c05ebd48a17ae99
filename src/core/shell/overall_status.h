#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/monitor/hosts/host_entry.h"
#include "core/shell/tray_state.h"

namespace pelmora {

// The state of the whole watch, which the tray icon shows: the entries'
// states mirrored in list order, how many are down, and whether monitoring
// runs. From these come the icon's picture and its tooltip.
class OverallStatus {
public:
    // Reads the "HostsDown" text of the current language.
    OverallStatus();

    // Mirrors of the host list's changes, in list order. A change to an
    // index past the list, or to the state an entry already has, is ignored.
    void Reset();
    void Appended(HostState state);
    void Changed(std::size_t index, HostState state);
    void SetRunning(bool running) { running_ = running; }
    // The language's hint for the icon. A language was just applied, so the
    // "HostsDown" text is read again with it.
    void SetHint(std::string hint);

    std::size_t DownCount() const { return down_; }
    std::size_t HostCount() const { return states_.size(); }
    bool Running() const { return running_; }

    // Stopped before anything else, then a red mark while any host is down.
    TrayState State() const;

    // The tooltip: the hint, then, while some host is down, on a line of its
    // own, the "HostsDown" text with %1 the down count and %2 the host count.
    std::string Tooltip() const;

private:
    std::vector<HostState> states_;
    std::size_t down_ = 0;
    bool running_ = true;
    std::string hint_;
    std::string downTemplate_;
};

} // namespace pelmora
