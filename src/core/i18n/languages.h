#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace pelmora {

// The name of the current language; empty until LoadLanguageName first runs.
const std::string& CurrentLanguage();
void SetCurrentLanguage(std::string name);

// Languages/<name>.lng in the program's data folder (DataDir).
std::filesystem::path LanguageFilePath(std::string_view languageName);
std::filesystem::path LanguagesFolder();

// The text of a message key in the current language, read afresh from the
// language file at every call; the key itself when the file has no text for
// it, the empty text when the file gives an empty value.
std::string MessageText(std::string_view key);

// Sets the current language from "Language" of section "General" in the
// settings file (SettingsFilePath; "English" by default). The tray program
// calls LoadLanguageNameAndRetranslate (form_translation.h), which also
// translates its windows.
void LoadLanguageName();

} // namespace pelmora
