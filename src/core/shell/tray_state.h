#pragma once

#include <cstdint>

namespace pelmora {

// What the notification-area icon tells at a glance.
enum class TrayState : std::uint8_t {
    AllUp,    // every host answers (or the list is empty)
    SomeDown, // a red mark: at least one host is down
    Stopped,  // grey: monitoring is stopped
};

} // namespace pelmora
