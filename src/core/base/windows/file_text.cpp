#include "core/base/file_text.h"

#include <windows.h>

#include "core/base/windows/unique_handle.h"

namespace pelmora {
namespace {

// A file on disk, not a folder, a pipe or a device.
bool IsRegularFile(HANDLE file)
{
    BY_HANDLE_FILE_INFORMATION info{};
    return ::GetFileType(file) == FILE_TYPE_DISK &&
           ::GetFileInformationByHandle(file, &info) != 0 &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

} // namespace

std::optional<std::string> ReadFileText(const std::filesystem::path& file, std::uintmax_t maxBytes)
{
    // Others may go on writing, renaming or deleting it meanwhile, as on
    // Linux: a save that replaces the file must not fail because we read.
    const UniqueHandle handle(::CreateFileW(
        file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!handle.Valid() || !IsRegularFile(handle.Get()) ||
        ::GetFileSizeEx(handle.Get(), &size) == 0) {
        return std::nullopt;
    }
    const auto expected = static_cast<std::uintmax_t>(size.QuadPart);
    if (expected > maxBytes) {
        return std::nullopt;
    }
    std::string text;
    text.reserve(static_cast<std::size_t>(expected));
    // The size is only a hint: the file may grow or shrink while it is read.
    char chunk[65536];
    for (;;) {
        DWORD got = 0;
        if (::ReadFile(handle.Get(), chunk, sizeof chunk, &got, nullptr) == 0) {
            return std::nullopt;
        }
        if (got == 0) {
            return text;
        }
        if (got > maxBytes - text.size()) {
            return std::nullopt;
        }
        text.append(chunk, got);
    }
}

} // namespace pelmora
