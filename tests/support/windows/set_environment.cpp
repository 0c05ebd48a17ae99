#include "support/set_environment.h"

#include <cstdlib>

namespace pelmora::test {

// The C runtime's copy, which getenv reads; an empty value removes the name.
void SetEnvironment(const char* name, const std::optional<std::string>& value)
{
    ::_putenv_s(name, value ? value->c_str() : "");
}

} // namespace pelmora::test
