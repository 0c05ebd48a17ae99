#include "core/base/app_paths.h"

#include <system_error>

#include "core/base/system_paths.h"

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

} // namespace

fs::path ExecutablePath()
{
    static const fs::path real = RunningExecutablePath();
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

SettingsLocation LocateSettings(const fs::path& executableDir, const fs::path& configHome)
{
    const fs::path beside = executableDir / "Pelmora.ini";
    if (Exists(beside) && MayReplace(beside)) {
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
