#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "core/base/file_text.h"

namespace pelmora {
namespace {

// A pipe named where a file should be is no file: refused at once, not
// read until its writer ends.
TEST(ReadFileText, RefusesANamedPipeWithoutBlocking)
{
    const std::wstring name =
        L"\\\\.\\pipe\\pelmora-test-" + std::to_wstring(::GetCurrentProcessId());
    const HANDLE server = ::CreateNamedPipeW(name.c_str(), PIPE_ACCESS_OUTBOUND,
                                             PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, 0, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ReadFileText(name), std::nullopt);
    ::CloseHandle(server);
}

} // namespace
} // namespace pelmora
