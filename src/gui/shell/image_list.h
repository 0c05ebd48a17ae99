#pragma once

#include <QIcon>

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

// The main image list picture at index 0..8 (see MainImage); a null icon for
// any other index. Each icon is built once and shared by every caller.
QIcon MainImageIcon(int index);

// The program's own notification-area icon.
QIcon TrayIconPicture();

} // namespace pelmora
