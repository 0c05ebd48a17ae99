#include "core/config/settings.h"

#include <string_view>
#include <utility>
#include <vector>

#include "core/config/ini_file.h"

namespace pelmora {
namespace {

constexpr std::string_view kHostList = "HostList";
constexpr std::string_view kView = "View";
constexpr std::string_view kCheckParams = "CheckParams";
constexpr std::string_view kGeneral = "General";

std::string_view TrimControls(std::string_view text)
{
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) {
        text.remove_prefix(1);
    }
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) {
        text.remove_suffix(1);
    }
    return text;
}

std::string Bool(bool value)
{
    return value ? "1" : "0";
}

} // namespace

void LoadSettings(SettingsHolder& holder, const std::filesystem::path& file)
{
    const IniDocument ini = ReadIniFile(file);

    HostList& hosts = holder.Hosts();
    hosts.Clear();
    for (const auto& [key, stored] : ini.Entries(kHostList)) {
        const std::string_view value = TrimControls(stored);
        if (value.empty()) {
            continue;
        }
        const std::size_t space = value.find(' ');
        if (space == std::string_view::npos) {
            hosts.Append(std::string(value), {});
        } else {
            hosts.Append(std::string(value.substr(0, space)), std::string(value.substr(space + 1)));
        }
    }

    PopUpFont font;
    font.bold = ini.ReadBool(kView, "FontStyleBold", false);
    font.italic = ini.ReadBool(kView, "FontStyleItalic", false);
    font.size = ini.ReadInteger(kView, "FontSize", 10);
    font.color = ini.ReadInteger(kView, "FontColor", 0);
    font.name = ini.ReadString(kView, "FontName", "MS Sans Serif");
    holder.SetFont(font);
    const std::int32_t style = ini.ReadInteger(kView, "ReportStyle", 0);
    holder.SetReportStyle(style >= 0 && style <= static_cast<std::int32_t>(ReportStyle::Both)
                              ? static_cast<ReportStyle>(style)
                              : ReportStyle::Automatic);

    holder.SetCheckPeriod(ini.ReadInteger(kCheckParams, "CheckPeriod", 60000));
    holder.SetPopUpInterval(ini.ReadInteger(kCheckParams, "PopUpInterval", 5000));
    // Unlike the intervals this one is bounded: 0 would check nothing and a
    // huge number would only exhaust descriptors.
    const std::int32_t parallel = ini.ReadInteger(
        kCheckParams, "ParallelChecks", static_cast<std::int32_t>(kDefaultParallelChecks));
    holder.SetParallelChecks(IsParallelChecksInRange(parallel) ? static_cast<std::size_t>(parallel)
                                                               : kDefaultParallelChecks);
    const std::int32_t attempts = ini.ReadInteger(kCheckParams, "Attempts", kDefaultAttempts);
    holder.SetAttempts(IsAttemptsInRange(attempts) ? attempts : kDefaultAttempts);
}

void SaveSettings(const SettingsHolder& holder, const std::string& language,
                  const std::filesystem::path& file, const std::filesystem::path& basis)
{
    IniDocument ini = ReadIniFile(basis.empty() ? file : basis);

    // The host list is written afresh, so removed entries disappear and the
    // keys are numbered from Item0 again.
    ini.EraseSection(kHostList);
    const HostList& hosts = holder.Hosts();
    std::vector<std::pair<std::string, std::string>> items;
    items.reserve(hosts.Count());
    for (std::size_t i = 0; i < hosts.Count(); ++i) {
        const HostEntry* entry = hosts.At(i);
        std::string value = entry->Target();
        if (!entry->Proxy().empty()) {
            value += " " + entry->Proxy();
        }
        items.emplace_back("Item" + std::to_string(i), std::move(value));
    }
    ini.WriteStrings(kHostList, items);

    const PopUpFont font = holder.Font();
    ini.WriteStrings(
        kView, {{"FontStyleBold", Bool(font.bold)},
                {"FontStyleItalic", Bool(font.italic)},
                {"FontSize", std::to_string(font.size)},
                {"FontColor", std::to_string(font.color)},
                {"FontName", font.name},
                {"ReportStyle", std::to_string(static_cast<std::int32_t>(holder.ReportStyle()))}});
    ini.WriteStrings(kCheckParams, {{"CheckPeriod", std::to_string(holder.CheckPeriod())},
                                    {"PopUpInterval", std::to_string(holder.PopUpInterval())},
                                    {"ParallelChecks", std::to_string(holder.ParallelChecks())},
                                    {"Attempts", std::to_string(holder.Attempts())}});
    ini.WriteString(kGeneral, "Language", language);

    WriteIniFile(file, ini);
}

} // namespace pelmora
