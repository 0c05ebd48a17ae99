#include "core/monitor/net/privileges.h"

namespace pelmora {

// Nothing to drop or raise on Windows: the program runs with the user's own
// token, and its echoes go through IcmpSendEcho2, which needs no privilege,
// rather than raw sockets, which need an administrator. There is no
// capability to keep dormant, and no set-user-ID start to undo.
void DropPrivilegesExceptNetRaw() {}

NetRawRaised::NetRawRaised() = default;

NetRawRaised::~NetRawRaised() = default;

} // namespace pelmora
