#pragma once

#include <filesystem>

namespace pelmora {

// The folder of the running executable.
std::filesystem::path ExecutableDir();

// The running executable itself, as an autostart entry names it; empty
// where the system does not tell (Linux without /proc).
std::filesystem::path ExecutablePath();

// Where the shipped Languages/, Help/ and Skins/ folders are for a program
// in `executableDir`: beside it when it has any of them (the build tree, an
// unpacked copy), otherwise the installed share/pelmora found relative to
// it, so an installed tree can be moved as a whole. Without a folder (no
// /proc) the data folder is the one the build was configured to install to.
std::filesystem::path DataDirFor(const std::filesystem::path& executableDir);

// DataDirFor(ExecutableDir()).
std::filesystem::path DataDir();

// Where the user's programs keep their settings: on Linux $XDG_CONFIG_HOME
// when it is set to an absolute path, else ~/.config; on Windows the roaming
// application data folder (%APPDATA%).
std::filesystem::path ConfigHome();

// The settings file a program reads and the one it saves into.
struct SettingsLocation {
    std::filesystem::path read;
    std::filesystem::path write;

    bool operator==(const SettingsLocation&) const = default;
};

// A Pelmora.ini beside the executable that the program may replace keeps the
// copy portable: it is read and written. Otherwise the settings live in
// <configHome>/Pelmora/Pelmora.ini; until that file exists, a read-only
// Pelmora.ini beside the executable gives the first values.
SettingsLocation LocateSettings(const std::filesystem::path& executableDir,
                                const std::filesystem::path& configHome);

// The running program's settings files: the file chosen with
// SetSettingsFilePath, else LocateSettings(ExecutableDir(), ConfigHome()),
// looked up anew at every call so the first save moves reading along.
SettingsLocation SettingsFiles();

// The file the settings are read from: SettingsFiles().read.
std::filesystem::path SettingsFilePath();

// Points "beside the executable" at another folder (tests, benchmarks);
// an empty path restores the real folder.
void SetExecutableDirForTesting(const std::filesystem::path& folder);

// The console front-end's --config: read and write this file instead. An
// empty path restores the default.
void SetSettingsFilePath(const std::filesystem::path& file);

} // namespace pelmora
