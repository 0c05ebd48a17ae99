#include "support/skip_without_root.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace pelmora::test {

void SkipWithoutRoot(const std::string& why)
{
    const char* ci = std::getenv("CI");
    if (ci != nullptr && *ci != '\0') {
        GTEST_FAIL() << "CI runs as root, yet: " << why;
    }
    GTEST_SKIP() << why;
}

} // namespace pelmora::test
