#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace pelmora {

// Texts in the core are UTF-8; a path is the system's own (bytes on Linux,
// UTF-16 on Windows). These convert at that edge, so a folder with
// non-ASCII letters reaches the wide-character API intact. On Linux both
// keep the bytes as they are.
std::filesystem::path PathFromUtf8(std::string_view text);
std::string Utf8OfPath(const std::filesystem::path& path);

} // namespace pelmora
