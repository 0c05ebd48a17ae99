#include "core/config/autostart_entry.h"

#include <unistd.h>

#include <cerrno>
#include <optional>

#include "core/base/char_class.h"
#include "core/base/file_text.h"
#include "core/config/ini_document.h"
#include "core/config/ini_file.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kGroup = "Desktop Entry";
// Characters that make the desktop's Exec rules ask for quoting.
constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";

// Without its blanks, and without the CR of a CR LF line break.
std::string_view TrimLine(std::string_view text)
{
    return TrimEnd(TrimStart(text, IsBlank), IsBlankOrCr);
}

// A key of the main group, as written (desktop entry keys are exact).
std::optional<std::string> EntryValue(std::string_view text, std::string_view key)
{
    bool inGroup = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = TrimLine(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.starts_with('[')) {
            inGroup = line == "[" + std::string(kGroup) + "]";
            continue;
        }
        const std::size_t equals = line.find('=');
        if (inGroup && equals != std::string_view::npos &&
            TrimLine(line.substr(0, equals)) == key) {
            return std::string(TrimLine(line.substr(equals + 1)));
        }
    }
    return std::nullopt;
}

// Values of type string escape these with a backslash.
std::string UnescapeString(std::string_view value)
{
    std::string plain;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            plain += value[i];
            continue;
        }
        switch (value[++i]) {
        case 's': plain += ' '; break;
        case 'n': plain += '\n'; break;
        case 't': plain += '\t'; break;
        case 'r': plain += '\r'; break;
        default: plain += value[i]; break;
        }
    }
    return plain;
}

} // namespace

std::string_view DesktopAppId()
{
    return PELMORA_APP_ID;
}

fs::path AutostartFilePath(const fs::path& configHome)
{
    return configHome / "autostart" / (std::string(DesktopAppId()) + ".desktop");
}

std::string ExecValue(const fs::path& program)
{
    const std::string path = program.string();
    std::string argument;
    if (path.find_first_of(kReserved) == std::string::npos) {
        argument = path;
    } else {
        argument = "\"";
        for (const char c : path) {
            if (c == '"' || c == '`' || c == '$' || c == '\\') {
                argument += '\\';
            }
            argument += c;
        }
        argument += '"';
    }
    // Then the rules every string value follows, and the field codes'.
    std::string value;
    for (const char c : argument) {
        if (c == '\\') {
            value += "\\\\";
        } else if (c == '\n') {
            value += "\\n";
        } else if (c == '%') {
            value += "%%";
        } else {
            value += c;
        }
    }
    return value;
}

fs::path ExecProgram(std::string_view execValue)
{
    const std::string command = UnescapeString(TrimLine(execValue));
    std::string program;
    std::size_t i = 0;
    if (command.starts_with('"')) {
        for (i = 1; i < command.size() && command[i] != '"'; ++i) {
            if (command[i] == '\\' && i + 1 < command.size()) {
                ++i;
            }
            program += command[i];
        }
    } else {
        program = command.substr(0, command.find_first_of(" \t"));
    }
    std::string unpercented;
    for (i = 0; i < program.size(); ++i) {
        unpercented += program[i];
        if (program[i] == '%' && i + 1 < program.size() && program[i + 1] == '%') {
            ++i;
        }
    }
    return unpercented;
}

AutostartStatus ReadAutostart(const fs::path& file, const fs::path& executable)
{
    AutostartStatus status;
    const std::optional<std::string> text = ReadFileText(file, 1 << 20);
    if (!text) {
        return status;
    }
    status.program = ExecProgram(EntryValue(*text, "Exec").value_or(""));
    status.foreign = status.program.lexically_normal() != executable.lexically_normal();
    status.on = EntryValue(*text, "Hidden") != "true" &&
                EntryValue(*text, "X-GNOME-Autostart-enabled") != "false";
    return status;
}

AutostartChange SetAutostart(const fs::path& file, const fs::path& executable, bool on)
{
    const AutostartStatus status = ReadAutostart(file, executable);
    if (status.foreign) {
        return on == status.on ? AutostartChange::None : AutostartChange::Refused;
    }
    if (on && !status.on) {
        WriteIniFile(file, IniDocument::Parse("[Desktop Entry]\n"
                                              "Type=Application\n"
                                              "Name=Pelmora\n"
                                              "Comment=Watches network hosts from the tray\n"
                                              "Exec=" +
                                              ExecValue(executable) +
                                              "\n"
                                              "Icon=" +
                                              std::string(DesktopAppId()) +
                                              "\n"
                                              "Terminal=false\n"
                                              "X-GNOME-Autostart-enabled=true\n"));
        return AutostartChange::Written;
    }
    if (!on && status.on) {
        if (::unlink(file.c_str()) != 0 && errno != ENOENT) {
            throw SettingsWriteError(file);
        }
        return AutostartChange::Removed;
    }
    return AutostartChange::None;
}

} // namespace pelmora
