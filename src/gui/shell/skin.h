#pragma once

#include <filesystem>

namespace pelmora {

// Skins/Tamsel.skn in the program's data folder.
std::filesystem::path SkinFilePath();

// Makes the skin file the style sheet of the whole application; the sheet
// names the pictures beside it as url(skin:<file name>). A file that
// is missing, cannot be read or is no valid style sheet leaves the plain look
// (no style sheet at all), without a word to the user; false then.
bool LoadSkin(const std::filesystem::path& file);

} // namespace pelmora
