#include "core/base/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "core/base/unique_fd.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;

// The file a link chain ends at; the path itself when it is no link.
fs::path FollowLinks(fs::path file)
{
    for (int depth = 0; depth < 40; ++depth) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(file, error))) {
            return file;
        }
        const fs::path target = fs::read_symlink(file, error);
        if (error) {
            return file;
        }
        file = target.is_absolute() ? target : file.parent_path() / target;
    }
    return file;
}

bool WriteAll(int fd, std::string_view text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

mode_t ModeOfNewFile(NewFileMode newFileMode)
{
    if (newFileMode == NewFileMode::ReadableByAll) {
        return 0644;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

std::string Why(int error)
{
    return std::generic_category().message(error);
}

} // namespace

std::string ReplaceFileAtomically(const fs::path& file, std::string_view content,
                                  NewFileMode newFileMode)
{
    std::error_code error;
    fs::path absolute = fs::absolute(file, error);
    if (error) {
        absolute = file;
    }
    const fs::path target = FollowLinks(absolute);
    const fs::path folder = target.parent_path();
    // A hidden name, so that a collector reading *.prom passes it over.
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const UniqueFd fd(::mkstemp(temporary.data()));
    if (!fd.Valid()) {
        return Why(errno);
    }
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    const mode_t mode =
        existed ? static_cast<mode_t>(old.st_mode & 07777) : ModeOfNewFile(newFileMode);
    const bool written =
        WriteAll(fd.Get(), content) && ::fchmod(fd.Get(), mode) == 0 && ::fsync(fd.Get()) == 0;
    if (written && existed) {
        // Keep the owner where we may (root saving a user's file); a refusal
        // changes nothing that matters to the content.
        [[maybe_unused]] const int owned = ::fchown(fd.Get(), old.st_uid, old.st_gid);
    }
    if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        const int failure = errno;
        ::unlink(temporary.c_str());
        return Why(failure);
    }
    // The rename itself lasts only once the folder is on disk.
    const UniqueFd folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFd.Valid()) {
        ::fsync(folderFd.Get());
    }
    return {};
}

} // namespace pelmora
