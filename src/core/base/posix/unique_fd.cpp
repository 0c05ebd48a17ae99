#include "core/base/unique_fd.h"

#include <unistd.h>

namespace pelmora {

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept
{
    if (this != &other) {
        Reset(other.Release());
    }
    return *this;
}

void UniqueFd::Reset(int fd)
{
    if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = fd;
}

} // namespace pelmora
