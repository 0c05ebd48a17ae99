#pragma once

#include <chrono>

namespace pelmora {

class StopSignal;

// Waits until the socket shows one of `events` (or an error or hang-up) or the
// deadline passes. Returns false when the deadline passed first. Throws
// EIdAborted at once when `abort` is raised, even if the socket is ready too,
// and the socket error when the wait itself fails.
bool WaitForSocket(int fd, short events, std::chrono::steady_clock::time_point deadline,
                   const StopSignal* abort);

} // namespace pelmora
