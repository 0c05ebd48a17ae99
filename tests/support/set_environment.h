#pragma once

#include <optional>
#include <string>

namespace pelmora::test {

// Sets the environment variable `name`, or removes it for nullopt.
void SetEnvironment(const char* name, const std::optional<std::string>& value);

} // namespace pelmora::test
