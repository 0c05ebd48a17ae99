#include "core/base/file_text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/base/unique_fd.h"

namespace pelmora {

std::optional<std::string> ReadFileText(const std::filesystem::path& file, std::uintmax_t maxBytes)
{
    // Not blocking: a named pipe in the file's place must not hang the caller
    // at the open; it is no regular file and is refused below.
    const UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (!fd.Valid() || ::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    const auto expected = static_cast<std::uintmax_t>(info.st_size);
    if (expected > maxBytes) {
        return std::nullopt;
    }
    std::string text;
    text.reserve(static_cast<std::size_t>(expected));
    // The size is only a hint: the file may grow or shrink while it is read.
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd.Get(), chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        if (got == 0) {
            return text;
        }
        if (static_cast<std::uintmax_t>(got) > maxBytes - text.size()) {
            return std::nullopt;
        }
        text.append(chunk, static_cast<std::size_t>(got));
    }
}

} // namespace pelmora
