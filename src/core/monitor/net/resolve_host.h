#pragma once

#include <netinet/in.h>

#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

// A text of exactly four dot-separated decimal parts from 0 to 255 (leading
// zeros allowed: "010.1.1.1" is 10.1.1.1). Anything else is a name.
std::optional<in_addr> ParseDottedQuad(std::string_view text);

// The address of "LOCALHOST" (in any case) or of a dotted quad; nothing for
// a name, which only the resolver can turn into an address.
std::optional<in_addr> AddressWithoutLookup(const std::string& host);

// "LOCALHOST" in any case is 127.0.0.1, a dotted quad is used as it stands,
// anything else goes to the resolver and its first IPv4 address is taken.
// Throws EIdSocketError 11001 "Host not found." when nothing resolves.
in_addr ResolveHost(const std::string& host);

// Four decimal numbers without leading zeros, joined by ".".
std::string DottedDecimal(in_addr address);

} // namespace pelmora
