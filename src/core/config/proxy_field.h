#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "core/config/proxy_record.h"

namespace pelmora {

// "'<digits>' is not a valid integer value": the port of a proxy field is no
// decimal number within the signed 32-bit range.
class InvalidIntegerError : public std::runtime_error {
public:
    explicit InvalidIntegerError(const std::string& digits);
};

// True when the server is a host name rather than a dotted IPv4 address:
// it holds a letter.
bool IsNamedServer(std::string_view server);

// What the host entry dialog's proxy field shows for a proxy. An IPv4 server
// is padded to the IP field's form and the port to five digits
// ("010.000.000.001:03128"); a named server shows as "name:port", an IPv6
// one as "[address]:port".
std::string ProxyFieldText(const TProxyRecord& proxy);

// The proxy a confirmed proxy field gives. The server is the digits and
// dots before the first ":" (none without a ":"), or, when that part names a
// host, the name without surrounding blanks; a field that starts with "["
// has the IPv6 server between the brackets. The port is the digits after
// the ":" or "]" (all digits of the text without one), kept in 16 bits. Throws
// InvalidIntegerError when they are no number up to 2147483647.
TProxyRecord ParseProxyField(std::string_view fieldText);

} // namespace pelmora
