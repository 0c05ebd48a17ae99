#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace pelmora {

// Up is shown with image 0 of the main image list, Down with image 1.
enum class HostState : std::uint8_t { Up = 0, Down = 1 };

enum class HostKind : std::uint8_t { IP, HTTP, LAN };

// One monitored host. Target and proxy never change during the entry's life;
// the state is written on the user-interface thread and read by the worker at
// any moment, so it is a single atomic value.
class HostEntry {
public:
    HostEntry(std::string target, std::string proxy);

    const std::string& Target() const { return target_; }
    const std::string& Proxy() const { return proxy_; }

    HostState State() const { return state_.load(std::memory_order_acquire); }
    void SetState(HostState state) { state_.store(state, std::memory_order_release); }

    // How long the last answer took; nothing while the entry does not
    // answer. User-interface thread only.
    std::optional<std::chrono::microseconds> LastRoundTrip() const { return lastRoundTrip_; }
    void SetLastRoundTrip(std::optional<std::chrono::microseconds> roundTrip)
    {
        lastRoundTrip_ = roundTrip;
    }
    // When the worker found the entry gone; nothing while it is up, and
    // while it has been down since the list was made or monitoring started,
    // as nobody saw it go. User-interface thread only.
    std::optional<std::chrono::steady_clock::time_point> DownSince() const { return downSince_; }
    void SetDownSince(std::optional<std::chrono::steady_clock::time_point> since)
    {
        downSince_ = since;
    }

private:
    std::string target_;
    std::string proxy_;
    std::atomic<HostState> state_{HostState::Down};
    std::optional<std::chrono::microseconds> lastRoundTrip_;
    std::optional<std::chrono::steady_clock::time_point> downSince_;
};

} // namespace pelmora
