#pragma once

#include "core/monitor/hosts/host_entry.h"

namespace pelmora {

// Pictures of the tray menu, by their place in the main image list; every
// front-end draws the same nine.
enum class MainImage {
    HostUp = 0,
    HostDown = 1,
    Start = 2,
    Stop = 3,
    HostsState = 4,
    Log = 5,
    Help = 6,
    About = 7,
    Settings = 8,
};

// The picture of a host's item in the Hosts state submenu.
MainImage HostStateImage(HostState state);

} // namespace pelmora
