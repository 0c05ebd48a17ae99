#include "support/process_memory.h"

#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

namespace pelmora::test {
namespace {

PROCESS_MEMORY_COUNTERS Counters()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

} // namespace

long ResidentKb()
{
    return static_cast<long>(Counters().WorkingSetSize >> 10);
}

long PeakResidentKb()
{
    return static_cast<long>(Counters().PeakWorkingSetSize >> 10);
}

// Windows keeps the peak working set for the process's life.
void ResetPeakResident() {}

} // namespace pelmora::test
