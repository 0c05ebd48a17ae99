#pragma once

#include <string>

namespace pelmora::test {

// Ends a test that cannot run for want of root (namespaces, mounts): a skip
// with the reason on a developer's machine, a failure under CI, which runs as
// root, so that a test that never ran cannot pass as one that did. The caller
// returns right after.
void SkipWithoutRoot(const std::string& why);

} // namespace pelmora::test
