#pragma once

#include <filesystem>

namespace pelmora {

// The folder of the running executable, where the program finds its
// settings file and its shipped Languages/, Help/ and Skins/ folders.
std::filesystem::path ExecutableDir();

// Pelmora.ini beside the executable, unless another file was chosen.
std::filesystem::path SettingsFilePath();

// Points "beside the executable" at another folder (tests, benchmarks);
// an empty path restores the real folder.
void SetExecutableDirForTesting(const std::filesystem::path& folder);

// The console front-end's --config: read and write this file instead of the
// one beside the executable. An empty path restores the default.
void SetSettingsFilePath(const std::filesystem::path& file);

} // namespace pelmora
