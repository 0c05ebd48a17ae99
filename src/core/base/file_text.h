#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace pelmora {

// The whole content of a regular file, read with plain system calls (no
// stream, so reading settings does not set up the C++ locale machinery).
// Empty optional when the path names no regular file, cannot be opened or
// read, or holds more than `maxBytes`.
std::optional<std::string> ReadFileText(const std::filesystem::path& file,
                                        std::uintmax_t maxBytes = UINTMAX_MAX);

} // namespace pelmora
