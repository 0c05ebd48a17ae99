#pragma once

// Winsock's types and calls, for the shared headers of monitor/net;
// posix/net_types.h is the POSIX counterpart.
#include <winsock2.h>
// After winsock2.h, which it extends.
#include <ws2tcpip.h>

namespace pelmora {

using AddressFamily = ADDRESS_FAMILY;
// A socket is a SOCKET, an unsigned handle, not a C runtime descriptor.
using SocketHandle = SOCKET;
inline constexpr SocketHandle kNoSocket = INVALID_SOCKET;
// What WaitForMultipleObjects watches to see a StopSignal raised: a
// manual-reset event.
using StopHandle = HANDLE;

} // namespace pelmora
