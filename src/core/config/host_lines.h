#pragma once

#include <vector>

#include "core/config/settings.h"
#include "core/monitor/hosts/host_list.h"

namespace pelmora {

// The running list as the settings keep it.
std::vector<HostLine> HostLinesOf(const HostList& hosts);

// Clears the list and appends one entry (Down) per line, in order.
void ReplaceHostList(HostList& hosts, const std::vector<HostLine>& lines);

} // namespace pelmora
