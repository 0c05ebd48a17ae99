#include "process_usage.h"

#include <filesystem>
#include <iterator>

namespace pelmora::test {
namespace {

std::size_t EntriesIn(const char* folder)
{
    const std::filesystem::directory_iterator entries(folder);
    return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
}

} // namespace

std::size_t OpenDescriptorCount()
{
    return EntriesIn("/proc/self/fd");
}

std::size_t ThreadCount()
{
    return EntriesIn("/proc/self/task");
}

} // namespace pelmora::test
