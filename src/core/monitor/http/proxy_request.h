#pragma once

#include <string>

#include "core/monitor/hosts/host_rules.h"

namespace pelmora {

// The one request a proxy gets for a check of `address`:
//   GET http://host[:port]/path HTTP/1.1
// then Content-Type, Host (host[:port]), Accept and User-Agent, and the empty
// line. Each request stands alone: nothing of an earlier one carries over.
// Bytes of the path that may not stand in a request line (blanks, controls,
// non-ASCII) are sent percent-encoded. Throws EIdURIException when the host
// holds such a byte, since it cannot be sent at all.
std::string ProxyRequest(const HttpAddress& address);

// The request that asks a proxy for a tunnel to a secure web address:
//   CONNECT host:port HTTP/1.1
// with a Host header naming the same, and the empty line. Throws
// EIdURIException for a host that cannot be sent, like ProxyRequest.
std::string ConnectRequest(const HttpAddress& address);

} // namespace pelmora
