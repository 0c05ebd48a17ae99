#include "support/scoped_env.h"

#include <cstdlib>

#include "support/set_environment.h"

namespace pelmora::test {

ScopedEnv::ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name)
{
    if (const char* old = std::getenv(name)) {
        old_ = old;
    }
    Set(value);
}

ScopedEnv::~ScopedEnv()
{
    Set(old_);
}

void ScopedEnv::Set(const std::optional<std::string>& value) const
{
    SetEnvironment(name_, value);
}

} // namespace pelmora::test
