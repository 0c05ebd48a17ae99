#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace pelmora {

// The language names a folder listing offers: for every entry whose name
// contains ".lng" (exact case), the part before the first ".lng", in the
// listing's order. "." and ".." never count; files and folders alike do.
std::vector<std::string> LanguageNamesFromListing(const std::vector<std::string>& entryNames);

// The language names of the entries of a folder; none when it cannot be
// listed.
std::vector<std::string> ListLanguageNames(const std::filesystem::path& folder);

} // namespace pelmora
