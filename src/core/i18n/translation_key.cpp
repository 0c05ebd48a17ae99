#include "core/i18n/translation_key.h"

#include "core/base/char_class.h"
#include "core/config/ini_document.h"

namespace pelmora {
namespace {

bool IsLetterOrUnderscore(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

std::optional<std::int32_t> ParseIndex(std::string_view text)
{
    return ParseProfileInteger(TrimStart(text, IsBlank));
}

std::optional<TranslationKey> ListString(std::string_view component, std::string_view rest)
{
    const std::size_t open = rest.find('(');
    const std::size_t close = rest.find(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) {
        return std::nullopt;
    }
    const std::string_view property = rest.substr(0, open);
    const auto index = ParseIndex(rest.substr(open + 1, close - open - 1));
    if (!IsIdentifier(property) || !index) {
        return std::nullopt;
    }
    return TranslationKey{KeyForm::ListString, component, property, *index};
}

std::optional<TranslationKey> Item(std::string_view key)
{
    const std::size_t open = key.find('(');
    if (open == std::string_view::npos || !IsIdentifier(key.substr(0, open))) {
        return std::nullopt;
    }
    const std::size_t close = key.find(')', open);
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    const auto index = ParseIndex(key.substr(open + 1, close - open - 1));
    if (!index) {
        return std::nullopt;
    }
    return TranslationKey{KeyForm::Item, key.substr(0, open), "Items", *index};
}

} // namespace

bool IsIdentifier(std::string_view text)
{
    if (text.empty() || !IsLetterOrUnderscore(text.front())) {
        return false;
    }
    for (const char c : text) {
        if (!IsLetterOrUnderscore(c) && !IsAsciiDigit(c)) {
            return false;
        }
    }
    return true;
}

std::optional<TranslationKey> ParseTranslationKey(std::string_view key)
{
    const std::size_t dot = key.find('.');
    if (dot == std::string_view::npos) {
        if (IsIdentifier(key)) {
            return TranslationKey{KeyForm::Name, key, {}, 0};
        }
        return Item(key);
    }
    const std::string_view component = key.substr(0, dot);
    const std::string_view rest = key.substr(dot + 1);
    if (!IsIdentifier(component)) {
        return Item(key);
    }
    if (IsIdentifier(rest)) {
        return TranslationKey{KeyForm::Property, component, rest, 0};
    }
    return ListString(component, rest);
}

} // namespace pelmora
