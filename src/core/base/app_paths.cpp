#include "core/base/app_paths.h"

#include <pwd.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <system_error>

namespace pelmora {
namespace {

namespace fs = std::filesystem;

fs::path& ExecutableDirOverride()
{
    static fs::path folder;
    return folder;
}

fs::path& SettingsFileOverride()
{
    static fs::path file;
    return file;
}

// Empty without /proc; never the current folder, since a program started
// from elsewhere must not pick up whatever settings or languages lie there.
fs::path RealExecutablePath()
{
    std::error_code error;
    fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : self;
}

// The environment is read on the user-interface thread, and no thread of
// the program changes it.
const char* Environment(const char* name)
{
    return std::getenv(name); // NOLINT(concurrency-mt-unsafe)
}

bool IsFolder(const fs::path& path)
{
    std::error_code error;
    return fs::is_directory(path, error);
}

bool Exists(const fs::path& path)
{
    std::error_code error;
    return fs::exists(path, error);
}

// The save replaces the file by renaming a new one over it, so its folder
// must take new files too.
bool Replaceable(const fs::path& file)
{
    return ::access(file.c_str(), W_OK) == 0 &&
           ::access(file.parent_path().c_str(), W_OK | X_OK) == 0;
}

fs::path HomeFolder()
{
    if (const char* home = Environment("HOME"); home != nullptr && *home != '\0') {
        return home;
    }
    passwd entry{};
    passwd* user = nullptr;
    std::array<char, 4096> buffer{};
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &user) == 0 &&
        user != nullptr && user->pw_dir != nullptr) {
        return user->pw_dir;
    }
    return {};
}

} // namespace

fs::path ExecutablePath()
{
    static const fs::path real = RealExecutablePath();
    return real;
}

fs::path ExecutableDir()
{
    if (!ExecutableDirOverride().empty()) {
        return ExecutableDirOverride();
    }
    return ExecutablePath().parent_path();
}

fs::path DataDirFor(const fs::path& executableDir)
{
    if (executableDir.empty()) {
        return PELMORA_INSTALLED_DATA_DIR;
    }
    for (const char* shipped : {"Languages", "Help", "Skins"}) {
        if (IsFolder(executableDir / shipped)) {
            return executableDir;
        }
    }
    return (executableDir / PELMORA_DATA_DIR_FROM_BIN).lexically_normal();
}

fs::path DataDir()
{
    return DataDirFor(ExecutableDir());
}

fs::path ConfigHome()
{
    // Relative values are invalid and to be ignored.
    if (const char* config = Environment("XDG_CONFIG_HOME");
        config != nullptr && fs::path(config).is_absolute()) {
        return config;
    }
    return HomeFolder() / ".config";
}

SettingsLocation LocateSettings(const fs::path& executableDir, const fs::path& configHome)
{
    const fs::path beside = executableDir / "Pelmora.ini";
    if (Exists(beside) && Replaceable(beside)) {
        return {beside, beside};
    }
    const fs::path own = configHome / "Pelmora" / "Pelmora.ini";
    if (!Exists(own) && Exists(beside)) {
        return {beside, own};
    }
    return {own, own};
}

SettingsLocation SettingsFiles()
{
    if (!SettingsFileOverride().empty()) {
        return {SettingsFileOverride(), SettingsFileOverride()};
    }
    return LocateSettings(ExecutableDir(), ConfigHome());
}

fs::path SettingsFilePath()
{
    return SettingsFiles().read;
}

void SetExecutableDirForTesting(const fs::path& folder)
{
    ExecutableDirOverride() = folder;
}

void SetSettingsFilePath(const fs::path& file)
{
    SettingsFileOverride() = file;
}

} // namespace pelmora
