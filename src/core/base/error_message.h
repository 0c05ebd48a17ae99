#pragma once

#include <exception>
#include <string>

namespace pelmora {

// The message of a failure as the user is told it: what() of a standard
// exception, "Unknown error." for anything else. Null gives "".
std::string ErrorMessage(const std::exception_ptr& failure);

} // namespace pelmora
