#pragma once

// The socket types and calls of a POSIX system, for the shared headers of
// monitor/net; windows/net_types.h is Winsock's counterpart.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace pelmora {

using AddressFamily = sa_family_t;
// A socket is a file descriptor.
using SocketHandle = int;
inline constexpr SocketHandle kNoSocket = -1;
// What a poll() set watches to see a StopSignal raised: an eventfd.
using StopHandle = int;

} // namespace pelmora
