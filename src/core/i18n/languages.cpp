#include "core/i18n/languages.h"

#include <utility>

#include "core/base/app_paths.h"
#include "core/base/path_text.h"
#include "core/config/ini_file.h"

namespace pelmora {
namespace {

std::string& CurrentLanguageStore()
{
    static std::string language;
    return language;
}

} // namespace

const std::string& CurrentLanguage()
{
    return CurrentLanguageStore();
}

void SetCurrentLanguage(std::string name)
{
    CurrentLanguageStore() = std::move(name);
}

std::filesystem::path LanguagesFolder()
{
    return DataDir() / "Languages";
}

std::filesystem::path LanguageFilePath(std::string_view languageName)
{
    // The name is used as it stands, an empty one included: ".lng" alone
    // names no file, and every message then shows its key.
    return LanguagesFolder() / PathFromUtf8(std::string(languageName) + ".lng");
}

std::string MessageText(std::string_view key)
{
    // Read afresh every time, so an edited language file counts at once.
    return ReadIniFile(LanguageFilePath(CurrentLanguage())).ReadString("Messages", key, key);
}

void LoadLanguageName()
{
    SetCurrentLanguage(
        ReadIniFile(SettingsFilePath()).ReadString("General", "Language", "English"));
}

} // namespace pelmora
