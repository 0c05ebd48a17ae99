#include "core/base/system_paths.h"

#include <pwd.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <system_error>

#include "core/base/app_paths.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;

// The environment is read on the user-interface thread, and no thread of
// the program changes it.
const char* Environment(const char* name)
{
    return std::getenv(name); // NOLINT(concurrency-mt-unsafe)
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

fs::path RunningExecutablePath()
{
    std::error_code error;
    fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : self;
}

// The save renames a new file over the old one, so the folder must take new
// files too.
bool MayReplace(const fs::path& file)
{
    return ::access(file.c_str(), W_OK) == 0 &&
           ::access(file.parent_path().c_str(), W_OK | X_OK) == 0;
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

} // namespace pelmora
