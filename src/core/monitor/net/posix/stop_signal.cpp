#include "core/monitor/net/stop_signal.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

namespace pelmora {

StopSignal::StopSignal() : handle_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (handle_ < 0) {
        throw std::system_error(errno, std::generic_category(), "eventfd");
    }
}

StopSignal::~StopSignal()
{
    ::close(handle_);
}

void StopSignal::Raise()
{
    if (raised_.exchange(true, std::memory_order_acq_rel)) {
        return;
    }
    const std::uint64_t one = 1;
    // The counter cannot overflow from a single write; a failure here would
    // only mean the descriptor is already readable.
    [[maybe_unused]] const auto written = ::write(handle_, &one, sizeof one);
}

bool StopSignal::WaitFor(std::chrono::milliseconds timeout) const
{
    pollfd watched{handle_, POLLIN, 0};
    const auto ms = static_cast<int>(timeout.count());
    while (::poll(&watched, 1, ms) < 0 && errno == EINTR) {
    }
    return IsRaised();
}

} // namespace pelmora
