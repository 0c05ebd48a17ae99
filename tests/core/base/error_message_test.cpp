#include "core/base/error_message.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace pelmora {
namespace {

TEST(ErrorMessage, TellsTheStandardMessageOrThatItIsUnknown)
{
    EXPECT_EQ(ErrorMessage(std::make_exception_ptr(std::runtime_error("Unable to write to /x"))),
              "Unable to write to /x");
    EXPECT_EQ(ErrorMessage(std::make_exception_ptr(42)), "Unknown error.");
    EXPECT_EQ(ErrorMessage(nullptr), "");
}

} // namespace
} // namespace pelmora
