#pragma once

#include <QIcon>

#include "core/monitor/hosts/host_entry.h"
#include "core/shell/tray_state.h"

namespace pelmora {

// Pictures of the tray menu, by their place in the main image list.
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

// The main image list's picture; a null icon for a value outside the list.
// Each icon is built once and shared by every caller.
QIcon MainImageIcon(MainImage image);

// The picture beside a host in the Hosts state submenu.
MainImage HostStateImage(HostState state);

// The program's own notification-area icon in that state.
QIcon TrayIconPicture(TrayState state = TrayState::AllUp);

} // namespace pelmora
