#include "support/process_memory.h"

#include <fstream>
#include <sstream>
#include <string>

namespace pelmora::test {
namespace {

long StatusKb(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    long kb = 0;
    while (std::getline(status, line)) {
        if (line.starts_with(field + ":")) {
            std::istringstream(line.substr(field.size() + 1)) >> kb;
        }
    }
    return kb;
}

} // namespace

long ResidentKb()
{
    return StatusKb("VmRSS");
}

long PeakResidentKb()
{
    return StatusKb("VmHWM");
}

void ResetPeakResident()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

} // namespace pelmora::test
