#include "core/monitor/http/socket_wait.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <limits>

#include "core/monitor/net/probe_errors.h"
#include "core/monitor/net/socket_error.h"
#include "core/monitor/net/stop_signal.h"

namespace pelmora {
namespace {

// Whole milliseconds left, rounded up so that a wait never wakes just short
// of the deadline and spins; 0 once it has passed.
int MillisecondsLeft(std::chrono::steady_clock::time_point deadline)
{
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    const auto clamped = std::clamp<std::chrono::milliseconds::rep>(
        left.count(), 0, std::numeric_limits<int>::max());
    return static_cast<int>(clamped);
}

} // namespace

bool WaitForSocket(int fd, short events, std::chrono::steady_clock::time_point deadline,
                   const StopSignal* abort)
{
    pollfd watched[2] = {{fd, events, 0}, {-1, POLLIN, 0}};
    nfds_t count = 1;
    if (abort != nullptr) {
        watched[1].fd = abort->Fd();
        count = 2;
    }
    while (true) {
        if (abort != nullptr && abort->IsRaised()) {
            throw EIdAborted();
        }
        const int ready = ::poll(watched, count, MillisecondsLeft(deadline));
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowSocketError(errno);
        }
        if (count == 2 && watched[1].revents != 0) {
            throw EIdAborted();
        }
        if (watched[0].revents != 0) {
            return true;
        }
        if (MillisecondsLeft(deadline) == 0) {
            return false;
        }
    }
}

} // namespace pelmora
