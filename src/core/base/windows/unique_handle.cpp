#include "core/base/windows/unique_handle.h"

namespace pelmora {

UniqueHandle& UniqueHandle::operator=(UniqueHandle&& other) noexcept
{
    if (this != &other) {
        Reset(other.Release());
    }
    return *this;
}

void UniqueHandle::Reset(HANDLE handle)
{
    if (Valid()) {
        ::CloseHandle(handle_);
    }
    handle_ = handle;
}

} // namespace pelmora
