#include "core/base/raise_descriptor_limit.h"

namespace pelmora {

// Nothing to raise: sockets and events are kernel handles, which Windows
// gives a process as long as memory lasts, with no soft limit to lift. The
// C runtime's own limit (_setmaxstdio) counts only stdio streams, and the
// checks open none.
void RaiseDescriptorLimit() {}

} // namespace pelmora
