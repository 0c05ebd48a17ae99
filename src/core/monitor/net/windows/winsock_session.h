#pragma once

namespace pelmora {

// Starts Winsock 2.2 for the process the first time it is called, from any
// thread, and cleans it up at exit. Every Windows path that makes a socket
// or asks the resolver calls it first; Winsock refuses both before
// WSAStartup. Throws EIdSocketError when Winsock cannot start.
void EnsureWinsock();

} // namespace pelmora
