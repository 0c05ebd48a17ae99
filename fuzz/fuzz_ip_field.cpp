// What the user types or pastes into the host entry dialog, and proxies from
// a hand-edited settings file, go through the IP field and proxy rules.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "core/config/ip_field_text.h"
#include "core/config/proxy_field.h"
#include "core/config/proxy_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string padded = pelmora::PadIpOctets(text);
    if (padded.size() < 15) {
        __builtin_trap(); // the field's fifteen positions are always filled
    }
    const std::string kept = pelmora::KeepDigitsAndDots(text);
    if (kept.find_first_not_of("0123456789.") != std::string::npos) {
        __builtin_trap();
    }
    if (const auto record = pelmora::ProxyRecordFromText(text)) {
        static_cast<void>(pelmora::ProxyText(*record));
        static_cast<void>(pelmora::ProxyFieldText(*record));
    }
    try {
        static_cast<void>(pelmora::ParseProxyField(text));
    } catch (const std::exception&) {
        // "'%s' is not a valid integer value": the dialog shows it.
    }
    return 0;
}
