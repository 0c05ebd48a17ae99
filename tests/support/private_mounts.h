#pragma once

#include <filesystem>
#include <string>

namespace pelmora::test {

// Moves the calling process into a mount namespace of its own, so mounts it
// makes are seen by nobody else and vanish with it. Returns false, with the
// reason, where the process may not (needs root).
bool EnterPrivateMounts(std::string* whyNot);

// Mounts a fresh tmpfs of `sizeKiB` KiB on the folder.
bool MountTmpfs(const std::filesystem::path& folder, int sizeKiB, std::string* whyNot);

// Makes the mount on the folder read-only; even root cannot write there then.
bool RemountReadOnly(const std::filesystem::path& folder, std::string* whyNot);

} // namespace pelmora::test
