#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

// The proxy that a line of the settings dialog's host list carries while
// the dialog is open.
struct TProxyRecord {
    std::string Server;
    std::uint16_t Port = 0;

    bool operator==(const TProxyRecord&) const = default;
};

// A host entry's proxy text split at its first ":", the port kept in 16 bits
// (3128 stays 3128, 65536 becomes 0). Nothing when the port text is not a
// signed 32-bit decimal number: such a text can come only from a hand-edited
// settings file, and its line then shows no proxy.
std::optional<TProxyRecord> ProxyRecordFromText(std::string_view proxyText);

// The proxy text a record turns back into: server, ":", port in decimal.
std::string ProxyText(const TProxyRecord& proxy);

} // namespace pelmora
