#include "core/base/app_paths.h"

#include <system_error>

namespace pelmora {
namespace {

std::filesystem::path& ExecutableDirOverride()
{
    static std::filesystem::path folder;
    return folder;
}

std::filesystem::path& SettingsFileOverride()
{
    static std::filesystem::path file;
    return file;
}

std::filesystem::path RealExecutableDir()
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return std::filesystem::current_path(error);
    }
    return self.parent_path();
}

} // namespace

std::filesystem::path ExecutableDir()
{
    if (!ExecutableDirOverride().empty()) {
        return ExecutableDirOverride();
    }
    static const std::filesystem::path real = RealExecutableDir();
    return real;
}

std::filesystem::path SettingsFilePath()
{
    if (!SettingsFileOverride().empty()) {
        return SettingsFileOverride();
    }
    return ExecutableDir() / "Pelmora.ini";
}

void SetExecutableDirForTesting(const std::filesystem::path& folder)
{
    ExecutableDirOverride() = folder;
}

void SetSettingsFilePath(const std::filesystem::path& file)
{
    SettingsFileOverride() = file;
}

} // namespace pelmora
