#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/monitor/host_entry.h"

namespace pelmora {

// Pure text rules that every user of the host list applies to a target.

HostKind KindOf(std::string_view target);

// IP entries are probed under their whole text, LAN entries under the name
// that follows the two leading slashes or backslashes.
std::string IcmpProbeName(std::string_view target);

// The target less "http:" and up to two following "/", in any letter case.
std::string HttpHostText(std::string_view target);

// Where a web address points: the host, the port (80 when none is given) and
// the path with its query ("/" when empty). Empty when the host text names no
// usable host or carries a port that is not a number from 1 to 65535.
struct HttpAddress {
    std::string host;
    std::uint16_t port = 80;
    std::string path = "/";
};
std::optional<HttpAddress> ParseHttpHostText(std::string_view hostText);

// "host" when the port is 80, otherwise "host:port": the Host header value.
std::string HostHeaderValue(const HttpAddress& address);

// A proxy text is the server, ":" and a signed 32-bit decimal port. Without
// ":" the server is empty and the whole text is read as the port. A port text
// that is not a valid integer gives no proxy at all.
struct ProxySplit {
    std::string server;
    std::int32_t port = 0;
};
std::optional<ProxySplit> SplitProxy(std::string_view proxyText);

std::string JoinProxy(std::string_view server, std::int64_t port);

// A signed 32-bit decimal number with an optional sign and nothing else.
std::optional<std::int32_t> ParseDecimalInt32(std::string_view text);

} // namespace pelmora
