#include "core/config/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <system_error>

#include "core/base/file_text.h"
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

bool WriteAll(int fd, const std::string& text)
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

// Folders made on the way are the owner's alone, as the desktop's rules ask
// of folders a program makes in ~/.config.
bool MakeMissingFolders(const fs::path& folder)
{
    std::error_code error;
    if (fs::is_directory(folder, error)) {
        return true;
    }
    if (folder == folder.parent_path() || !MakeMissingFolders(folder.parent_path())) {
        return false;
    }
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

} // namespace

SettingsWriteError::SettingsWriteError(const fs::path& file)
    : std::runtime_error("Unable to write to " + fs::absolute(file).string())
{
}

IniDocument ReadIniFile(const fs::path& file)
{
    const std::optional<std::string> text = ReadFileText(file);
    return text ? IniDocument::Parse(*text) : IniDocument{};
}

void WriteIniFile(const fs::path& file, const IniDocument& document)
{
    // Only the folders of the path as named: a link into a missing folder
    // stays a failed save.
    if (!MakeMissingFolders(fs::absolute(file).parent_path())) {
        throw SettingsWriteError(file);
    }
    const fs::path target = FollowLinks(fs::absolute(file));
    const fs::path folder = target.parent_path();
    std::string name = ".";
    name += target.filename().string();
    name += ".XXXXXX";
    std::string temporary = (folder / name).string();

    const UniqueFd fd(::mkstemp(temporary.data()));
    if (!fd.Valid()) {
        throw SettingsWriteError(file);
    }
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    const mode_t mode = existed ? static_cast<mode_t>(old.st_mode & 07777) : NewFileMode();

    const bool written = WriteAll(fd.Get(), document.Serialize()) &&
                         ::fchmod(fd.Get(), mode) == 0 && ::fsync(fd.Get()) == 0;
    if (written && existed) {
        // Keep the owner where we may (root saving a user's file); a refusal
        // changes nothing that matters to the content.
        [[maybe_unused]] const int owned = ::fchown(fd.Get(), old.st_uid, old.st_gid);
    }
    if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        throw SettingsWriteError(file);
    }
    const UniqueFd folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFd.Valid()) {
        ::fsync(folderFd.Get());
    }
}

} // namespace pelmora
