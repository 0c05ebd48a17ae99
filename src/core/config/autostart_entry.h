#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace pelmora {

// The name the desktop knows the program by: its .desktop file, its icon,
// its AppStream component and its login-start entry.
std::string_view DesktopAppId();

// <configHome>/autostart/<application id>.desktop, the entry a desktop
// reads at login.
std::filesystem::path AutostartFilePath(const std::filesystem::path& configHome);

// What the login-start entry says.
struct AutostartStatus {
    bool on = false; // the file exists and is not disabled (Hidden, GNOME's flag)
    // The file starts something other than the program asked about: it
    // belongs to another copy and is never changed.
    bool foreign = false;
    std::filesystem::path program; // what its Exec starts
};

AutostartStatus ReadAutostart(const std::filesystem::path& file,
                              const std::filesystem::path& executable);

enum class AutostartChange : std::uint8_t { None, Written, Removed, Refused };

// Makes the entry start `executable` at login, or removes it. An entry that
// starts another program stays as it is (Refused when it should change); a
// disabled entry of this program is left disabled when `on` is false.
// Throws SettingsWriteError when the file cannot be written or removed.
AutostartChange SetAutostart(const std::filesystem::path& file,
                             const std::filesystem::path& executable, bool on);

// The Exec value that starts `program` with no arguments, quoted and escaped
// as desktop entries require; ExecProgram reads the program back.
std::string ExecValue(const std::filesystem::path& program);
std::filesystem::path ExecProgram(std::string_view execValue);

} // namespace pelmora
