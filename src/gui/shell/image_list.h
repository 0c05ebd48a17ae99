#pragma once

#include <QIcon>

#include "core/shell/main_image.h"
#include "core/shell/tray_state.h"

namespace pelmora {

// The main image list's picture; a null icon for a value outside the list.
// Each icon is built once and shared by every caller.
QIcon MainImageIcon(MainImage image);

// The program's own notification-area icon in that state.
QIcon TrayIconPicture(TrayState state = TrayState::AllUp);

} // namespace pelmora
