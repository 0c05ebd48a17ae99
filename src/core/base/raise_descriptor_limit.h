#pragma once

namespace pelmora {

// Raises the soft limit on open descriptors to the hard limit, so that many
// hosts can be checked at the same time. A refusal is silent: the checks
// then wait for descriptors to free up.
void RaiseDescriptorLimit();

} // namespace pelmora
