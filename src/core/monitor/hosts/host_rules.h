#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/monitor/hosts/host_entry.h"

namespace pelmora {

// Pure text rules that every user of the host list applies to a target.

HostKind KindOf(std::string_view target);

// "IP", "HTTP" or "LAN", as the console checker's reports and listings name
// the kinds.
const char* HostKindName(HostKind kind);

// IP entries are probed under their whole text, LAN entries under the name
// that follows the two leading slashes or backslashes.
std::string IcmpProbeName(std::string_view target);

// A web entry whose scheme is "https:", in any letter case. It is checked
// like an "http:" one (a connect, or a tunnel through the proxy), only its
// port defaults to 443.
bool IsSecureWebTarget(std::string_view target);

constexpr std::uint16_t kHttpPort = 80;
constexpr std::uint16_t kHttpsPort = 443;

// The target less its scheme ("http:" or "https:") and up to two following
// "/", in any letter case.
std::string HttpHostText(std::string_view target);

// Where a web address points: the host, the port (`defaultPort` when none is
// given) and the path with its query ("/" when empty). Empty when the host
// text names no usable host or carries a port that is not a number from 1 to
// 65535.
struct HttpAddress {
    std::string host;
    std::uint16_t port = kHttpPort;
    std::string path = "/";
};
std::optional<HttpAddress> ParseHttpHostText(std::string_view hostText,
                                             std::uint16_t defaultPort = kHttpPort);

// Why a web entry's host or port is unusable, when it is written as an IPv6
// address or carries a port: a malformed IPv6 address, one without its
// brackets, or a port that is no number from 1 to 65535. Empty otherwise,
// other faults included, which the probe reports when it runs.
std::string WebAddressProblem(std::string_view target);

// The address of a web entry's target, with its scheme's default port.
std::optional<HttpAddress> ParseWebTarget(std::string_view target);

// "host:port", always with the port: what a CONNECT request names. Here and
// in the Host header an IPv6 host stands in brackets.
std::string HostAndPort(const HttpAddress& address);

// "host" when the port is 80, otherwise "host:port": the Host header value.
std::string HostHeaderValue(const HttpAddress& address);

// An IPv6 address in brackets, any other host as it is: how a host stands
// in front of ":port".
std::string BracketedHost(std::string_view host);

// A proxy text is the server, ":" and a signed 32-bit decimal port. Without
// ":" the server is empty and the whole text is read as the port. An IPv6
// server stands in brackets ("[2001:db8::1]:3128") and is split off without
// them. A port text that is not a valid integer gives no proxy at all.
struct ProxySplit {
    std::string server;
    std::int32_t port = 0;
};
std::optional<ProxySplit> SplitProxy(std::string_view proxyText);

std::string JoinProxy(std::string_view server, std::int64_t port);

// A signed 32-bit decimal number with an optional sign and nothing else.
std::optional<std::int32_t> ParseDecimalInt32(std::string_view text);

} // namespace pelmora
