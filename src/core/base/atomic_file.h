#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace pelmora {

// Who may read a file that does not exist yet once it is made.
enum class NewFileMode : std::uint8_t {
    Umask,         // what the process's umask leaves of read and write for all
    ReadableByAll, // 0644 whatever the umask: a collector under another user reads it
};

// Replaces `file` with `content` so that a reader sees the old content or
// the new, never a part: a temporary file in the same folder, flushed to
// disk, renamed over it, and the folder flushed too. An existing file keeps
// its mode and, where the process may give it, its owner. A link is
// followed, so the file it names is replaced and the link stays. Empty on
// success, else why it failed; the temporary file is gone either way.
std::string ReplaceFileAtomically(const std::filesystem::path& file, std::string_view content,
                                  NewFileMode newFileMode = NewFileMode::Umask);

} // namespace pelmora
