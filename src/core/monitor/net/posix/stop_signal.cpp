#include "core/monitor/net/stop_signal.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

namespace pelmora {

StopSignal::StopSignal() : event_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (!event_.Valid()) {
        throw std::system_error(errno, std::generic_category(), "eventfd");
    }
}

void StopSignal::Raise()
{
    if (raised_.exchange(true, std::memory_order_acq_rel)) {
        return;
    }
    const std::uint64_t one = 1;
    // The counter cannot overflow from a single write; a failure here would
    // only mean the descriptor is already readable.
    [[maybe_unused]] const auto written = ::write(event_.Get(), &one, sizeof one);
}

} // namespace pelmora
