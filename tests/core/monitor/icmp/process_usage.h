#pragma once

#include <cstddef>

namespace pelmora::test {

// Open file descriptors and threads of this process, from /proc/self.
std::size_t OpenDescriptorCount();
std::size_t ThreadCount();

} // namespace pelmora::test
