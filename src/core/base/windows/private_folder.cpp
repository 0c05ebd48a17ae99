#include "core/base/private_folder.h"

#include <windows.h>

namespace pelmora {

bool MakePrivateFolder(const std::filesystem::path& folder)
{
    return ::CreateDirectoryW(folder.c_str(), nullptr) != 0 ||
           ::GetLastError() == ERROR_ALREADY_EXISTS;
}

} // namespace pelmora
