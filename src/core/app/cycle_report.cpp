#include "core/app/cycle_report.h"

namespace pelmora {

const char* HostKindName(HostKind kind)
{
    switch (kind) {
    case HostKind::IP: return "IP";
    case HostKind::HTTP: return "HTTP";
    case HostKind::LAN: return "LAN";
    }
    return "IP";
}

} // namespace pelmora
