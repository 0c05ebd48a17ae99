#include "core/config/ini_file.h"

#include <optional>
#include <system_error>

#include "core/base/atomic_file.h"
#include "core/base/file_text.h"
#include "core/base/path_text.h"
#include "core/base/private_folder.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;

// Folders made on the way are the owner's alone (MakePrivateFolder).
bool MakeMissingFolders(const fs::path& folder)
{
    std::error_code error;
    if (fs::is_directory(folder, error)) {
        return true;
    }
    if (folder == folder.parent_path() || !MakeMissingFolders(folder.parent_path())) {
        return false;
    }
    return MakePrivateFolder(folder);
}

} // namespace

SettingsWriteError::SettingsWriteError(const fs::path& file)
    : std::runtime_error("Unable to write to " + Utf8OfPath(fs::absolute(file)))
{
}

IniDocument ReadIniFile(const fs::path& file)
{
    const std::optional<std::string> text = ReadFileText(file);
    return text ? IniDocument::Parse(*text) : IniDocument{};
}

void WriteIniFile(const fs::path& file, const IniDocument& document)
{
    // Only the folders of the path as named: a link into a missing folder
    // stays a failed save.
    if (!MakeMissingFolders(fs::absolute(file).parent_path()) ||
        !ReplaceFileAtomically(file, document.Serialize()).empty()) {
        throw SettingsWriteError(file);
    }
}

} // namespace pelmora
