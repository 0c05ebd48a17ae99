#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace pelmora {

// A letter (A-Z, a-z) or "_", then letters, digits and "_"; nothing else.
bool IsIdentifier(std::string_view text);

// How a key of a window's section addresses what it sets.
enum class KeyForm : std::uint8_t {
    // "name": the component's implied property, or the window's own
    // property of that name when it has no such component.
    Name,
    // "component.property"
    Property,
    // "component.property(index)...": one string of a string list, stored as
    // read.
    ListString,
    // "component(index)...": one string of the list Items, a leading "."
    // of the value dropped so that an item can begin with a blank.
    Item,
};

// The parts of a key; views into the key's own text.
struct TranslationKey {
    KeyForm form = KeyForm::Name;
    std::string_view component; // the name alone for KeyForm::Name
    std::string_view property;  // "Items" for KeyForm::Item
    std::int32_t index = 0;     // strings count from 0
};

// The forms are tried in the order of KeyForm, D being the first "." and P
// the first "(":
// - Name: no "." and an identifier;
// - Property: identifiers before and after D;
// - ListString: an identifier before D; after it the first "(" comes before
//   the first ")", the property named before that "(";
// - Item: anything else, with an identifier before P and a ")" after it.
// Text after the ")" is ignored. The index is a whole number in profile
// notation (sign, decimal, "$" or "0x" hexadecimal) after optional blanks.
// Nothing when the key fits no form; a nested property such as
// "btnOK.Font.Name" is no form either.
std::optional<TranslationKey> ParseTranslationKey(std::string_view key);

} // namespace pelmora
