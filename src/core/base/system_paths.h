#pragma once

#include <filesystem>

namespace pelmora {

// What app_paths asks of the system, one implementation per system.

// The running executable's full path, asked of the system (never the current
// folder); empty when the system does not tell.
std::filesystem::path RunningExecutablePath();

// Whether the program may replace `file` as a save does: write the file and
// make a new one beside it to rename over it.
bool MayReplace(const std::filesystem::path& file);

} // namespace pelmora
