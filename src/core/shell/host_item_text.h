#pragma once

#include <string>

#include "core/monitor/hosts/host_entry.h"

namespace pelmora {

// The caption of the entry's item in the Hosts state submenu: its target,
// and while it answers, a TAB and how long the answer took ("0.12 ms"). The
// TAB puts the time in the column a menu keeps for shortcuts, so the times
// stand one under another.
std::string HostItemText(const HostEntry& entry);

} // namespace pelmora
