#include "without_net_raw.h"

#include <fcntl.h>
#include <linux/capability.h>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <exception>
#include <system_error>

#include "core/base/unique_fd.h"

namespace pelmora::test {
namespace {

constexpr unsigned kNetRawBit = 1U << CAP_NET_RAW;

std::string Failed(const char* call)
{
    return std::string(call) + ": " + std::generic_category().message(errno);
}

// Returns an empty text on success, otherwise what failed.
std::string DropNetRaw()
{
    if (::prctl(PR_CAPBSET_DROP, CAP_NET_RAW, 0, 0, 0) != 0 ||
        ::prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_LOWER, CAP_NET_RAW, 0, 0) != 0) {
        return Failed("prctl");
    }
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (::syscall(SYS_capget, &header, data) != 0) {
        return Failed("capget");
    }
    data[0].effective &= ~kNetRawBit;
    data[0].permitted &= ~kNetRawBit;
    data[0].inheritable &= ~kNetRawBit;
    if (::syscall(SYS_capset, &header, data) != 0) {
        return Failed("capset");
    }
    const UniqueFd raw(::socket(AF_INET, SOCK_RAW, IPPROTO_ICMP));
    if (raw.Valid()) {
        return "a raw socket still opens without CAP_NET_RAW";
    }
    return {};
}

} // namespace

std::string RunWithoutNetRaw(const std::function<std::string()>& body)
{
    return RunInForkedChild([&] {
        if (std::string failure = DropNetRaw(); !failure.empty()) {
            return failure;
        }
        return body();
    });
}

std::string RunInForkedChild(const std::function<std::string()>& body)
{
    int channel[2];
    if (::pipe2(channel, O_CLOEXEC) != 0) {
        return Failed("pipe");
    }
    UniqueFd readEnd(channel[0]);
    UniqueFd writeEnd(channel[1]);
    const pid_t child = ::fork();
    if (child < 0) {
        return Failed("fork");
    }
    if (child == 0) {
        readEnd.Reset();
        std::string text;
        try {
            text = body();
        } catch (const std::exception& error) {
            text = error.what();
        }
        std::size_t written = 0;
        while (written < text.size()) {
            const ssize_t n = ::write(writeEnd.Get(), text.data() + written, text.size() - written);
            if (n <= 0) {
                break;
            }
            written += static_cast<std::size_t>(n);
        }
        // Leave without the parent's destructors and test framework.
        ::_exit(0);
    }
    writeEnd.Reset();
    std::string text;
    char chunk[256];
    ssize_t n = 0;
    while ((n = ::read(readEnd.Get(), chunk, sizeof chunk)) > 0) {
        text.append(chunk, static_cast<std::size_t>(n));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        text += " (child did not exit cleanly)";
    }
    return text;
}

} // namespace pelmora::test
