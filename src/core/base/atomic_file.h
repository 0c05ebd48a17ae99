#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace pelmora {

// Replaces `file` with `content` so that a reader sees the old content or
// the new, never a part: a temporary file in the same folder, flushed to
// disk, renamed over it. Empty on success, else why it failed.
std::string ReplaceFileAtomically(const std::filesystem::path& file, std::string_view content);

} // namespace pelmora
