#include "support/private_mounts.h"

#include <sched.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>

namespace pelmora::test {
namespace {

bool Failed(const char* what, std::string* whyNot)
{
    *whyNot = std::string(what) + ": " + std::strerror(errno);
    return false;
}

} // namespace

bool EnterPrivateMounts(std::string* whyNot)
{
    if (::unshare(CLONE_NEWNS) != 0) {
        return Failed("cannot make a private mount namespace (needs root)", whyNot);
    }
    if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        return Failed("cannot make mounts private", whyNot);
    }
    return true;
}

bool MountTmpfs(const std::filesystem::path& folder, int sizeKiB, std::string* whyNot)
{
    const std::string options = "size=" + std::to_string(sizeKiB) + "k";
    if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0) {
        return Failed("cannot mount a tmpfs", whyNot);
    }
    return true;
}

bool RemountReadOnly(const std::filesystem::path& folder, std::string* whyNot)
{
    if (::mount("none", folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
        return Failed("cannot remount read-only", whyNot);
    }
    return true;
}

} // namespace pelmora::test
