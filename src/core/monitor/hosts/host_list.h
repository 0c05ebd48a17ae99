#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/monitor/hosts/host_entry.h"

namespace pelmora {

// Told of every change, so a view (the tray's "Hosts state" submenu) can
// mirror the list without owning it.
class HostListObserver {
public:
    virtual ~HostListObserver() = default;
    virtual void HostListReset() = 0;
    virtual void HostAppended(std::size_t index) = 0;
    virtual void HostStateChanged(std::size_t index) = 0;
    // Only for a view that shows round trips.
    virtual void HostRoundTripChanged(std::size_t /*index*/) {}
};

// The ordered list of watched hosts. Clearing and appending happen on the
// user-interface thread while no check cycle runs; the worker reads entries
// by index during a cycle.
class HostList {
public:
    void SetObserver(HostListObserver* observer) { observer_ = observer; }

    void Clear();
    HostEntry& Append(std::string target, std::string proxy);
    std::size_t Count() const { return entries_.size(); }

    // Null when the index no longer names an entry.
    const HostEntry* At(std::size_t index) const;
    void SetState(std::size_t index, HostState state);
    void SetDownSince(std::size_t index,
                      std::optional<std::chrono::steady_clock::time_point> since);
    // Down without a known time since, as at the start.
    void SetAllDown();
    // Tells the observer only when the value differs.
    void SetLastRoundTrip(std::size_t index, std::optional<std::chrono::microseconds> roundTrip);

private:
    std::vector<std::unique_ptr<HostEntry>> entries_;
    HostListObserver* observer_ = nullptr;
};

} // namespace pelmora
