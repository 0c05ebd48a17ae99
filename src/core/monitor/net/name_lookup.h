#pragma once

#include <optional>
#include <string>

#include "core/monitor/net/ip_address.h"

namespace pelmora {

// The first address, of either family, that the system's resolver gives for
// the name `host` (UTF-8): getaddrinfo on Linux, so /etc/hosts, mDNS and
// WINS from nsswitch count, GetAddrInfoW on Windows. The resolver orders
// them by RFC 6724 and the system's policy, as the user's other programs
// see them. Nothing when it finds none.
std::optional<IpAddress> LookUpFirstAddress(const std::string& host);

} // namespace pelmora
