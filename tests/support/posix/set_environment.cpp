#include "support/set_environment.h"

#include <cstdlib>

namespace pelmora::test {

void SetEnvironment(const char* name, const std::optional<std::string>& value)
{
    if (value) {
        ::setenv(name, value->c_str(), 1);
    } else {
        ::unsetenv(name);
    }
}

} // namespace pelmora::test
