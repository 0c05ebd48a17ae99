#include "settings_place.h"

#include "core/base/app_paths.h"

namespace pelmora::test {

namespace fs = std::filesystem;

void SettingsPlace::SetUp()
{
    fs::create_directories(dir_ / "bare");
    fs::create_directories(dir_ / "portable");
    WriteFile(dir_ / "portable" / "Pelmora.ini", "[General]\nLanguage=Deutsch\n");
    fs::create_directories(dir_ / "empty-home");
    fs::create_directories(dir_ / "used-home" / "Pelmora");
    WriteFile(dir_ / "used-home" / "Pelmora" / "Pelmora.ini", "");
}

void SettingsPlace::Expect(const char* program, const char* home, const char* read,
                           const char* write)
{
    const SettingsLocation found = LocateSettings(dir_ / program, dir_ / home);
    EXPECT_EQ(found, (SettingsLocation{dir_ / read, dir_ / write})) << program << ", " << home;
}

} // namespace pelmora::test
