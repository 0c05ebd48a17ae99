#pragma once

#include <filesystem>

namespace pelmora {

// Makes one folder for the user alone: on Linux mode 0700, as the desktop's
// rules ask of folders a program makes in ~/.config; on Windows the folder
// takes the access list of the one it is in, the user's own under
// %APPDATA%. True when the folder was made or is already there.
bool MakePrivateFolder(const std::filesystem::path& folder);

} // namespace pelmora
