#pragma once

#include "core/config/settings.h"

namespace pelmora {

// Where one end-of-cycle report goes.
struct ReportChannels {
    bool balloon = false;
    bool notification = false;

    bool operator==(const ReportChannels&) const = default;
};

// The balloon stands by the tray icon; where no icon has a place on the
// screen (a D-Bus tray, Wayland, no tray at all) the automatic style sends a
// desktop notification instead.
ReportChannels ChooseReportChannels(ReportStyle style, bool balloonByTray);

} // namespace pelmora
