#pragma once

#include <cstdint>
#include <string>

#include "core/base/unique_fd.h"

namespace pelmora {

class StopSignal;

// Opens a TCP connection to host:port, waiting at most limitMs milliseconds
// for the connect (name resolution comes on top). The socket is bound to any
// local address and port first. Returns the connected socket, left
// non-blocking so that every later wait can watch `abort` as well.
//
// Failures: EIdInvalidSocket, EIdCouldNotBindSocket or EIdSocketError from the
// bind, EIdSocketError 11001 when the host does not resolve,
// EIdConnectException with the connect's socket-error message,
// EIdConnectTimeout when the limit runs out, EIdAborted on a stop request.
UniqueFd ConnectTcp(const std::string& host, std::uint16_t port, int limitMs,
                    const StopSignal* abort);

} // namespace pelmora
