#pragma once

#include <string>

#include "core/monitor/hosts/host_list.h"

namespace pelmora {

// One line per entry, as the worker will see it: kind, target, what is
// probed (ICMP name, or host:port of a web address), proxy. Tab-separated.
std::string DescribeHostList(const HostList& hosts);

} // namespace pelmora
