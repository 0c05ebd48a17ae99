#include "core/base/error_message.h"

namespace pelmora {

std::string ErrorMessage(const std::exception_ptr& failure)
{
    if (!failure) {
        return {};
    }
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "Unknown error.";
    }
}

} // namespace pelmora
