#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/monitor/net/ip_address.h"
// The system's socket types, from posix/ or windows/.
#include "net_types.h"

namespace pelmora {

// A text of exactly four dot-separated decimal parts from 0 to 255 (leading
// zeros allowed: "010.1.1.1" is 10.1.1.1). Anything else is a name.
std::optional<in_addr> ParseDottedQuad(std::string_view text);

// The address of "LOCALHOST" (in any case), of a dotted quad or of an IPv6
// address; nothing for a name, which only the resolver can turn into an
// address.
std::optional<IpAddress> AddressWithoutLookup(const std::string& host);

// "LOCALHOST" in any case is 127.0.0.1, a dotted quad or an IPv6 address is
// used as it stands, anything else goes to the resolver and the first
// address it gives, of either family, is taken: the resolver orders them
// by RFC 6724 and /etc/gai.conf, which is what the user's other programs
// follow too. Throws EIdSocketError 11001 "Host not found." when nothing
// resolves.
IpAddress ResolveHost(const std::string& host);

// Four decimal numbers without leading zeros, joined by ".".
std::string DottedDecimal(in_addr address);

} // namespace pelmora
