#include "core/config/setting_keys.h"

#include <array>
#include <stdexcept>
#include <type_traits>

#include "core/config/ini_document.h"

namespace pelmora {
namespace {

constexpr SettingBounds kReportStyles{0, static_cast<std::int32_t>(ReportStyle::Both)};
constexpr SettingBounds kParallelChecks{1, 100000};
constexpr SettingBounds kAttempts{1, 10};

constexpr SettingKey HostLinesKey(std::string_view section, std::string_view prefix,
                                  SettingField field)
{
    return {section, prefix, SettingKind::HostLines, field, 0, {}, std::nullopt, {}};
}

constexpr SettingKey BooleanKey(std::string_view section, std::string_view key, SettingField field)
{
    return {section, key, SettingKind::Boolean, field, 0, {}, std::nullopt, {}};
}

constexpr SettingKey IntegerKey(std::string_view section, std::string_view key, SettingField field,
                                std::int32_t fallback,
                                std::optional<SettingBounds> bounds = std::nullopt,
                                std::string_view checkOption = {})
{
    return {section, key, SettingKind::Integer, field, fallback, {}, bounds, checkOption};
}

constexpr SettingKey TextKey(std::string_view section, std::string_view key, SettingField field,
                             std::string_view fallback)
{
    return {section, key, SettingKind::Text, field, 0, fallback, std::nullopt, {}};
}

constexpr std::array kKeys{
    HostLinesKey("HostList", "Item", &Settings::hosts),
    BooleanKey("View", "FontStyleBold", &PopUpFont::bold),
    BooleanKey("View", "FontStyleItalic", &PopUpFont::italic),
    IntegerKey("View", "FontSize", &PopUpFont::size, 10),
    IntegerKey("View", "FontColor", &PopUpFont::color, 0),
    TextKey("View", "FontName", &PopUpFont::name, "MS Sans Serif"),
    IntegerKey("View", "ReportStyle", &Settings::reportStyle,
               static_cast<std::int32_t>(ReportStyle::Automatic), kReportStyles),
    // The intervals are taken as they are: 0 leaves a timer silent.
    IntegerKey("CheckParams", "CheckPeriod", &Settings::checkPeriod, 60000),
    IntegerKey("CheckParams", "PopUpInterval", &Settings::popUpInterval, 5000),
    // 0 would check nothing and a huge number would only exhaust descriptors.
    IntegerKey("CheckParams", "ParallelChecks", &Settings::parallelChecks,
               static_cast<std::int32_t>(kDefaultParallelChecks), kParallelChecks, "--parallel"),
    IntegerKey("CheckParams", "Attempts", &Settings::attempts, 1, kAttempts, "--attempts"),
    TextKey("General", "Language", &Settings::language, "English"),
};

// Each kind keeps its values in fields of one shape; a count or an enum
// needs bounds from 0 up, so that every number read fits it.
constexpr bool FitsItsField(const SettingKey& row)
{
    const SettingField& f = row.field;
    // An option is refused outside the bounds that it names.
    if (!row.checkOption.empty() && !row.bounds) {
        return false;
    }
    switch (row.kind) {
    case SettingKind::HostLines:
        return std::holds_alternative<std::vector<HostLine> Settings::*>(f);
    case SettingKind::Boolean: return std::holds_alternative<bool PopUpFont::*>(f);
    case SettingKind::Text:
        return std::holds_alternative<std::string PopUpFont::*>(f) ||
               std::holds_alternative<std::string Settings::*>(f);
    case SettingKind::Integer:
        return std::holds_alternative<std::int32_t PopUpFont::*>(f) ||
               std::holds_alternative<std::int32_t Settings::*>(f) ||
               (row.bounds && row.bounds->min >= 0 &&
                (std::holds_alternative<std::size_t Settings::*>(f) ||
                 std::holds_alternative<ReportStyle Settings::*>(f)));
    }
    return false;
}

constexpr bool EveryRowFitsItsField()
{
    for (const SettingKey& row : kKeys) {
        if (!FitsItsField(row)) {
            return false;
        }
    }
    return true;
}
static_assert(EveryRowFitsItsField());

} // namespace

std::span<const SettingKey> SettingKeys()
{
    return kKeys;
}

const SettingKey& FindSettingKey(std::string_view section, std::string_view key)
{
    for (const SettingKey& row : kKeys) {
        if (EqualsIgnoringCase(row.section, section) && EqualsIgnoringCase(row.key, key)) {
            return row;
        }
    }
    throw std::out_of_range("no setting " + std::string(section) + "/" + std::string(key));
}

std::string StoredText(const SettingKey& row, const Settings& settings)
{
    return std::visit(
        [&row, &settings](auto member) -> std::string {
            const auto& value = FieldOf(settings, member);
            using Value = std::remove_cvref_t<decltype(value)>;
            if constexpr (std::is_same_v<Value, std::string>) {
                return value;
            } else if constexpr (std::is_same_v<Value, bool>) {
                return value ? "1" : "0";
            } else if constexpr (std::is_same_v<Value, ReportStyle>) {
                return std::to_string(static_cast<std::int32_t>(value));
            } else if constexpr (std::is_arithmetic_v<Value>) {
                return std::to_string(value);
            } else {
                throw std::logic_error(std::string(row.key) + " is no single value");
            }
        },
        row.field);
}

void ReadKey(const SettingKey& row, const IniDocument& ini, Settings& settings)
{
    if (row.kind == SettingKind::Text) {
        std::visit(
            [&](auto member) {
                auto& value = FieldOf(settings, member);
                if constexpr (std::is_same_v<std::remove_cvref_t<decltype(value)>, std::string>) {
                    value = ini.ReadString(row.section, row.key, row.defaultText);
                }
            },
            row.field);
        return;
    }
    const std::int32_t number = ini.ReadInteger(row.section, row.key, row.defaultNumber);
    SetNumber(row, settings,
              !row.bounds || row.bounds->Contains(number) ? number : row.defaultNumber);
}

void SetNumber(const SettingKey& row, Settings& settings, std::int32_t number)
{
    std::visit(
        [&](auto member) {
            auto& value = FieldOf(settings, member);
            using Value = std::remove_cvref_t<decltype(value)>;
            if constexpr (std::is_same_v<Value, bool>) {
                value = number != 0;
            } else if constexpr (std::is_arithmetic_v<Value> || std::is_enum_v<Value>) {
                value = static_cast<Value>(number);
            } else {
                throw std::logic_error(std::string(row.key) + " is no number");
            }
        },
        row.field);
}

} // namespace pelmora
