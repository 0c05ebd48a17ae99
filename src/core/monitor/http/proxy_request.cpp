#include "core/monitor/http/proxy_request.h"

#include <algorithm>

#include "core/monitor/net/probe_errors.h"

namespace pelmora {
namespace {

bool IsVisibleAscii(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte > 0x20 && byte < 0x7F;
}

std::string EncodePath(const std::string& path)
{
    constexpr char hex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(path.size());
    for (const char c : path) {
        if (IsVisibleAscii(c)) {
            encoded += c;
        } else {
            const auto byte = static_cast<unsigned char>(c);
            encoded += '%';
            encoded += hex[byte >> 4];
            encoded += hex[byte & 0x0F];
        }
    }
    return encoded;
}

void RequireSendableHost(const std::string& host)
{
    if (host.empty() || !std::all_of(host.begin(), host.end(), IsVisibleAscii)) {
        throw EIdURIException("Invalid host name");
    }
}

} // namespace

std::string ProxyRequest(const HttpAddress& address)
{
    RequireSendableHost(address.host);
    const std::string authority = HostHeaderValue(address);
    const std::string path = address.path.empty() ? std::string("/") : EncodePath(address.path);
    return "GET http://" + authority + path +
           " HTTP/1.1\r\n"
           "Content-Type: text/html\r\n"
           "Host: " +
           authority +
           "\r\n"
           "Accept: text/html, */*\r\n"
           "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
           "\r\n";
}

std::string ConnectRequest(const HttpAddress& address)
{
    RequireSendableHost(address.host);
    const std::string authority = HostAndPort(address);
    return "CONNECT " + authority + " HTTP/1.1\r\nHost: " + authority + "\r\n\r\n";
}

} // namespace pelmora
