#include "core/config/language_list.h"

#include <system_error>

#include "core/base/path_text.h"

namespace pelmora {

std::vector<std::string> LanguageNamesFromListing(const std::vector<std::string>& entryNames)
{
    std::vector<std::string> languages;
    for (const std::string& name : entryNames) {
        const std::size_t extension = name.find(".lng");
        if (name == "." || name == ".." || extension == std::string::npos) {
            continue;
        }
        languages.push_back(name.substr(0, extension));
    }
    return languages;
}

std::vector<std::string> ListLanguageNames(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator entry(folder, error);
    const std::filesystem::directory_iterator end;
    while (!error && entry != end) {
        names.push_back(Utf8OfPath(entry->path().filename()));
        entry.increment(error);
    }
    return LanguageNamesFromListing(names);
}

} // namespace pelmora
