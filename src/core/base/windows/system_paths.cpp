#include "core/base/system_paths.h"

#include <windows.h>
// After windows.h, which they need.
#include <knownfolders.h>
#include <shlobj.h>

#include <string>

#include "core/base/app_paths.h"
#include "core/base/windows/unique_handle.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;

// Opens `file` for writing the way the save's replacement needs it, without
// changing it. The read-only attribute is asked first: Wine running as root
// would open such a file all the same.
bool Writable(const fs::path& file)
{
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return false;
    }
    const UniqueHandle handle(::CreateFileW(
        file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return handle.Valid();
}

// Makes a file in the folder and lets the system delete it on closing: the
// folder's access list, not its attributes, says whether new files may go in.
bool TakesNewFiles(const fs::path& folder)
{
    const fs::path probe =
        folder / (L".Pelmora.write-test." + std::to_wstring(::GetCurrentProcessId()));
    const UniqueHandle handle(::CreateFileW(
        probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return handle.Valid();
}

} // namespace

fs::path RunningExecutablePath()
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length == 0) {
            return {};
        }
        // A path that filled the buffer may have been cut short.
        if (length < size) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool MayReplace(const fs::path& file)
{
    return Writable(file) && TakesNewFiles(file.parent_path());
}

fs::path ConfigHome()
{
    PWSTR folder = nullptr;
    fs::path home;
    if (SUCCEEDED(
            ::SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &folder))) {
        home = folder;
    }
    ::CoTaskMemFree(folder);
    return home;
}

} // namespace pelmora
