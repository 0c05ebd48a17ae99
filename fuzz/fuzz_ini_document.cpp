// Settings and language files are edited by hand and downloaded: any bytes
// must parse, read and write back without fault, and a written value must
// read back as written.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/config/ini_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    pelmora::IniDocument ini = pelmora::IniDocument::Parse(text);
    if (ini.Serialize() != text) {
        __builtin_trap(); // an untouched file must be written back unchanged
    }
    for (const auto& [key, value] : ini.Entries("HostList")) {
        static_cast<void>(ini.ReadString("HostList", key, ""));
    }
    static_cast<void>(ini.ReadInteger("CheckParams", "CheckPeriod", 60000));
    static_cast<void>(ini.KeyNames("View"));

    const std::string value(text.substr(0, std::min<std::size_t>(text.size(), 64)));
    ini.EraseSection("HostList");
    ini.WriteString("HostList", "Item0", value);
    ini.WriteStrings("View", {{"FontName", value}, {"FontSize", "10"}});
    const pelmora::IniDocument reread = pelmora::IniDocument::Parse(ini.Serialize());
    const std::string got = reread.ReadString("View", "FontSize", "");
    if (got != "10") {
        __builtin_trap();
    }
    return 0;
}
