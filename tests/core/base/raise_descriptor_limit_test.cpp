#include "core/base/raise_descriptor_limit.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

namespace pelmora {
namespace {

// Runs `body` in a child process, so the test's own limits stay as they are.
bool PassesInChild(const std::function<bool()>& body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// The raised limit is real: more descriptors than the old soft limit open.
bool CanOpen(rlim_t count)
{
    std::vector<int> opened;
    bool all = true;
    while (all && opened.size() < count) {
        const int fd = ::dup(STDERR_FILENO);
        all = fd >= 0;
        if (all) {
            opened.push_back(fd);
        }
    }
    for (const int fd : opened) {
        ::close(fd);
    }
    return all;
}

TEST(RaiseDescriptorLimit, LiftsTheSoftLimitToTheHardOne)
{
    rlimit start{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &start), 0);
    ASSERT_GE(start.rlim_max, rlim_t{256});
    const struct {
        rlim_t soft;
        rlim_t hard;
    } cases[] = {{64, start.rlim_max}, {64, 256}, {256, 256}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.soft) + " of " + std::to_string(c.hard));
        EXPECT_TRUE(PassesInChild([c] {
            const rlimit lowered{c.soft, c.hard};
            if (::setrlimit(RLIMIT_NOFILE, &lowered) != 0) {
                return false;
            }
            RaiseDescriptorLimit();
            rlimit after{};
            return ::getrlimit(RLIMIT_NOFILE, &after) == 0 && after.rlim_cur == c.hard &&
                   after.rlim_max == c.hard && CanOpen(200);
        }));
    }
}

} // namespace
} // namespace pelmora
