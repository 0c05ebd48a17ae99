#include "core/config/proxy_field.h"

#include <cstdint>
#include <optional>

#include "core/base/char_class.h"
#include "core/config/ip_field_text.h"
#include "core/monitor/hosts/host_rules.h"

namespace pelmora {
namespace {

bool IsLetter(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || byte >= 0x80;
}

std::string DigitsOf(std::string_view text)
{
    std::string digits;
    for (const char c : text) {
        if (IsAsciiDigit(c)) {
            digits.push_back(c);
        }
    }
    return digits;
}

} // namespace

InvalidIntegerError::InvalidIntegerError(const std::string& digits)
    : std::runtime_error("'" + digits + "' is not a valid integer value")
{
}

bool IsNamedServer(std::string_view server)
{
    for (const char c : server) {
        if (IsLetter(c)) {
            return true;
        }
    }
    return false;
}

std::string ProxyFieldText(const TProxyRecord& proxy)
{
    if (IsNamedServer(proxy.Server) || proxy.Server.find(':') != std::string::npos) {
        return ProxyText(proxy);
    }
    std::string port = std::to_string(proxy.Port);
    port.insert(0, 5 - port.size(), '0');
    return PadIpOctets(proxy.Server) + ":" + port;
}

TProxyRecord ParseProxyField(std::string_view fieldText)
{
    const std::string_view trimmed = TrimControlsAndSpaces(fieldText);
    const std::size_t close = trimmed.find(']');
    const std::size_t colon = fieldText.find(':');
    TProxyRecord proxy;
    std::string_view portPart = fieldText;
    if (trimmed.starts_with('[') && close != std::string_view::npos) {
        // An IPv6 server, kept as typed between its brackets; the port is
        // the digits after them.
        proxy.Server = std::string(TrimControlsAndSpaces(trimmed.substr(1, close - 1)));
        portPart = trimmed.substr(close + 1);
    } else if (colon != std::string_view::npos) {
        const std::string_view serverPart = fieldText.substr(0, colon);
        proxy.Server = IsNamedServer(serverPart) ? std::string(TrimControlsAndSpaces(serverPart))
                                                 : KeepDigitsAndDots(serverPart);
        portPart = fieldText.substr(colon + 1);
    }
    const std::string digits = DigitsOf(portPart);
    const std::optional<std::int32_t> port = ParseDecimalInt32(digits);
    if (!port) {
        throw InvalidIntegerError(digits);
    }
    proxy.Port = static_cast<std::uint16_t>(*port);
    return proxy;
}

} // namespace pelmora
