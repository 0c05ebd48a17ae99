#include "core/config/settings.h"

#include <string_view>
#include <utility>
#include <vector>

#include "core/base/char_class.h"
#include "core/config/ini_file.h"
#include "core/config/setting_keys.h"

namespace pelmora {
namespace {

// Key names are not interpreted: every key of the section is one host, in
// file order; a value of blanks alone is none.
std::vector<HostLine> ReadHostLines(const IniDocument& ini, std::string_view section)
{
    std::vector<HostLine> hosts;
    for (const auto& [key, stored] : ini.Entries(section)) {
        const std::string_view value = TrimControlsAndSpaces(stored);
        if (value.empty()) {
            continue;
        }
        const std::size_t space = value.find(' ');
        if (space == std::string_view::npos) {
            hosts.push_back({std::string(value), {}});
        } else {
            hosts.push_back(
                {std::string(value.substr(0, space)), std::string(value.substr(space + 1))});
        }
    }
    return hosts;
}

// The section is written afresh, so removed hosts disappear and the keys are
// numbered from 0 again.
void WriteHostLines(IniDocument& ini, const SettingKey& row, const std::vector<HostLine>& hosts)
{
    ini.EraseSection(row.section);
    std::vector<std::pair<std::string, std::string>> items;
    items.reserve(hosts.size());
    for (std::size_t i = 0; i < hosts.size(); ++i) {
        std::string value = hosts[i].target;
        if (!hosts[i].proxy.empty()) {
            value += " " + hosts[i].proxy;
        }
        items.emplace_back(std::string(row.key) + std::to_string(i), std::move(value));
    }
    ini.WriteStrings(row.section, items);
}

} // namespace

Settings LoadSettings(const std::filesystem::path& file)
{
    const IniDocument ini = ReadIniFile(file);
    Settings settings;
    for (const SettingKey& row : SettingKeys()) {
        if (row.kind == SettingKind::HostLines) {
            settings.hosts = ReadHostLines(ini, row.section);
        } else {
            ReadKey(row, ini, settings);
        }
    }
    return settings;
}

void SaveSettings(const Settings& settings, const std::filesystem::path& file,
                  const std::filesystem::path& basis)
{
    IniDocument ini = ReadIniFile(basis.empty() ? file : basis);
    // The keys of one section go in one pass, in the table's order.
    std::string_view section;
    std::vector<std::pair<std::string, std::string>> values;
    const auto flush = [&] {
        if (!values.empty()) {
            ini.WriteStrings(section, values);
            values.clear();
        }
    };
    for (const SettingKey& row : SettingKeys()) {
        if (row.section != section) {
            flush();
            section = row.section;
        }
        if (row.kind == SettingKind::HostLines) {
            WriteHostLines(ini, row, settings.hosts);
        } else {
            values.emplace_back(std::string(row.key), StoredText(row, settings));
        }
    }
    flush();
    WriteIniFile(file, ini);
}

} // namespace pelmora
