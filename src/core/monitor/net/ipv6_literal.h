#pragma once

#include <optional>
#include <string>
#include <string_view>

// The system's socket types, from posix/ or windows/.
#include "net_types.h"

namespace pelmora {

// A text that can only mean an IPv6 address: it holds ":", "[", "]" or "%",
// none of which a host name or an IPv4 address has.
bool LooksLikeIpv6(std::string_view text);

// An IPv6 address written as RFC 4291 has it, without brackets or zone.
std::optional<in6_addr> ParseIpv6(std::string_view text);

// Why `text`, written bare or in brackets, is no usable IPv6 address; empty
// when it is one. Zone indexes are refused: a target names a host the same
// way on every machine, and an interface name is not.
std::string Ipv6Problem(std::string_view text);

} // namespace pelmora
