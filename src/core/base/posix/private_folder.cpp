#include "core/base/private_folder.h"

#include <sys/stat.h>

#include <cerrno>

namespace pelmora {

bool MakePrivateFolder(const std::filesystem::path& folder)
{
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

} // namespace pelmora
