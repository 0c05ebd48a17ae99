#include "core/base/atomic_file.h"

#include <windows.h>

#include <atomic>
#include <system_error>

#include "core/base/windows/system_error_text.h"
#include "core/base/windows/unique_handle.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;

bool WriteAll(HANDLE file, std::string_view text)
{
    while (!text.empty()) {
        constexpr std::size_t kMaxChunk = 1U << 30;
        const auto chunk = static_cast<DWORD>(text.size() < kMaxChunk ? text.size() : kMaxChunk);
        DWORD written = 0;
        if (::WriteFile(file, text.data(), chunk, &written, nullptr) == 0) {
            return false;
        }
        text.remove_prefix(written);
    }
    return true;
}

// Unique among the program's own saves and, by the process id, among the
// copies running at the same time; CREATE_NEW refuses a leftover of another.
fs::path TemporaryBeside(const fs::path& target)
{
    static std::atomic<unsigned> counter{0};
    return target.parent_path() /
           (L"." + target.filename().wstring() + L"." + std::to_wstring(::GetCurrentProcessId()) +
            L"-" + std::to_wstring(counter.fetch_add(1)) + L".tmp");
}

// The read-only attribute is Windows' own "may not be written"; the move
// would not always honour it (Wine running as root does not), so it is
// asked first.
bool IsReadOnly(const fs::path& file)
{
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

} // namespace

// Windows has no mode bits: a new file takes the access list its folder
// gives new files, and moving it within the folder keeps that, so
// `newFileMode` asks nothing more here. A read-only file is refused, as the
// POSIX save is refused by a file it may not write.
std::string ReplaceFileAtomically(const fs::path& file, std::string_view content,
                                  [[maybe_unused]] NewFileMode newFileMode)
{
    std::error_code error;
    fs::path target = fs::absolute(file, error);
    if (error) {
        target = file;
    }
    if (IsReadOnly(target)) {
        return SystemErrorText(ERROR_ACCESS_DENIED);
    }
    const fs::path temporary = TemporaryBeside(target);
    UniqueHandle handle(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.Valid()) {
        return SystemErrorText(::GetLastError());
    }
    const bool written = WriteAll(handle.Get(), content) && ::FlushFileBuffers(handle.Get()) != 0;
    DWORD failure = written ? ERROR_SUCCESS : ::GetLastError();
    handle.Reset();
    // WRITE_THROUGH returns only once the rename is on disk, which the POSIX
    // save gets from flushing the folder.
    if (written && ::MoveFileExW(temporary.c_str(), target.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        failure = ::GetLastError();
    }
    if (failure != ERROR_SUCCESS) {
        ::DeleteFileW(temporary.c_str());
        return SystemErrorText(failure);
    }
    return {};
}

} // namespace pelmora
