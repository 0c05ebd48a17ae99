#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/config/settings.h"

namespace pelmora {

// How a key's value is written and read back.
// - HostLines: the whole section, one key per host, "Item" + index, valued
//   target or target + " " + proxy;
// - Boolean: "1" or "0"; read as an integer, true when not 0;
// - Integer: signed 32-bit decimal; read in profile notation (decimal, or
//   hexadecimal after "$" or "0x");
// - Text: unchanged.
enum class SettingKind : std::uint8_t { HostLines, Boolean, Integer, Text };

// The values a key may take; a value read outside them counts as unreadable.
struct SettingBounds {
    std::int32_t min = 0;
    std::int32_t max = 0;

    constexpr bool Contains(std::int64_t value) const { return value >= min && value <= max; }
};

// Where a key's value lives in a Settings value.
using SettingField =
    std::variant<std::vector<HostLine> Settings::*, bool PopUpFont::*, std::int32_t PopUpFont::*,
                 std::string PopUpFont::*, std::int32_t Settings::*, std::size_t Settings::*,
                 pelmora::ReportStyle Settings::*, std::string Settings::*>;

// One row of the settings file: loading, saving, the settings dialog's spin
// bounds and pelmora-check's overrides all follow it.
struct SettingKey {
    std::string_view section;
    std::string_view key; // HostLines: the prefix of the numbered keys
    SettingKind kind;
    SettingField field;
    std::int32_t defaultNumber = 0; // Boolean, Integer
    std::string_view defaultText;   // Text
    std::optional<SettingBounds> bounds;
    // The pelmora-check option that overrides the file's value for a run.
    std::string_view checkOption;
};

// Every key the program reads and writes, in the order a save writes them.
std::span<const SettingKey> SettingKeys();

// The row of a key the program knows; naming another is a programming
// error (std::out_of_range).
const SettingKey& FindSettingKey(std::string_view section, std::string_view key);

class IniDocument;

// The value's field that a row names.
template <typename S, typename T> auto& FieldOf(S& settings, T Settings::*member)
{
    return settings.*member;
}
template <typename S, typename T> auto& FieldOf(S& settings, T PopUpFont::*member)
{
    return settings.font.*member;
}

// A Boolean, Integer or Text key: its value as the file keeps it, and its
// value read from the file into the settings (the row's default when the
// key is missing, unreadable or out of bounds).
std::string StoredText(const SettingKey& row, const Settings& settings);
void ReadKey(const SettingKey& row, const IniDocument& ini, Settings& settings);

// Sets a Boolean or Integer key's field to a number within its bounds.
void SetNumber(const SettingKey& row, Settings& settings, std::int32_t number);

} // namespace pelmora
