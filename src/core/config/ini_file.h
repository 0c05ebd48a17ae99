#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

#include "core/config/ini_document.h"

namespace pelmora {

// "Unable to write to <full path>": the settings could not be saved, and
// the file on disk is as it was before.
class SettingsWriteError : public std::runtime_error {
public:
    explicit SettingsWriteError(const std::filesystem::path& file);
};

// The file's lines, read in one go. A missing or unreadable file, or a
// folder where the file should be, reads as an empty document.
IniDocument ReadIniFile(const std::filesystem::path& file);

// Replaces the file's whole content or nothing (ReplaceFileAtomically: the
// old file's permissions and owner stay, a link is followed). Missing folders
// on the way are made, for the owner alone. Throws SettingsWriteError.
void WriteIniFile(const std::filesystem::path& file, const IniDocument& document);

} // namespace pelmora
