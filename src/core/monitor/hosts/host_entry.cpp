#include "core/monitor/hosts/host_entry.h"

#include <utility>

namespace pelmora {

HostEntry::HostEntry(std::string target, std::string proxy)
    : target_(std::move(target)), proxy_(std::move(proxy))
{
}

} // namespace pelmora
