#include "core/base/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <vector>

#include "core/base/unique_fd.h"

namespace pelmora {

std::string ReplaceFileAtomically(const std::filesystem::path& file, std::string_view content)
{
    const std::filesystem::path folder =
        file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
    // A hidden name, so that a collector reading *.prom passes it over.
    std::string pattern = (folder / ("." + file.filename().string() + ".XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const UniqueFd fd(mkstemp(name.data()));
    if (!fd.Valid()) {
        return std::generic_category().message(errno);
    }
    const auto fail = [&name] {
        const int error = errno;
        unlink(name.data());
        return std::generic_category().message(error);
    };
    // mkstemp makes the file for its owner alone; others read the metrics.
    if (fchmod(fd.Get(), 0644) != 0) {
        return fail();
    }
    std::size_t written = 0;
    while (written < content.size()) {
        const ssize_t n = write(fd.Get(), content.data() + written, content.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return fail();
        }
        written += static_cast<std::size_t>(n);
    }
    if (fsync(fd.Get()) != 0 || rename(name.data(), file.c_str()) != 0) {
        return fail();
    }
    return {};
}

} // namespace pelmora
