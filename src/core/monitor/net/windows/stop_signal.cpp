#include "core/monitor/net/stop_signal.h"

#include <windows.h>

#include <system_error>

namespace pelmora {

// Manual reset: once set, the event stays signalled for every wait.
StopSignal::StopSignal() : handle_(::CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    if (handle_ == nullptr) {
        throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(),
                                "CreateEventW");
    }
}

StopSignal::~StopSignal()
{
    ::CloseHandle(handle_);
}

void StopSignal::Raise()
{
    if (!raised_.exchange(true, std::memory_order_acq_rel)) {
        ::SetEvent(handle_);
    }
}

bool StopSignal::WaitFor(std::chrono::milliseconds timeout) const
{
    const DWORD ms = timeout.count() < 0 ? INFINITE : static_cast<DWORD>(timeout.count());
    ::WaitForSingleObject(handle_, ms);
    return IsRaised();
}

} // namespace pelmora
