// Targets and proxy texts come from a hand-edited settings file: the host,
// port and path split, the proxy split and the request built from them must
// hold for any text, and no request may carry a line break of the target's.
// A proxy text that splits joins back into one that splits the same, IPv6
// servers in brackets included.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/monitor/hosts/host_rules.h"
#include "core/monitor/http/proxy_request.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    static_cast<void>(pelmora::KindOf(text));
    static_cast<void>(pelmora::IcmpProbeName(text));
    if (const auto proxy = pelmora::SplitProxy(text)) {
        const auto again = pelmora::SplitProxy(pelmora::JoinProxy(proxy->server, proxy->port));
        if (!again || again->server != proxy->server || again->port != proxy->port) {
            __builtin_trap();
        }
    }
    const auto address = pelmora::ParseWebTarget(text);
    if (!address) {
        return 0;
    }
    if (address->host.empty() || address->port == 0 || !address->path.starts_with('/')) {
        __builtin_trap();
    }
    try {
        const std::string request = pelmora::ProxyRequest(*address);
        const std::size_t head = request.find("\r\n\r\n");
        // Exactly one blank line, at the very end: the target added no header.
        if (head == std::string::npos || head + 4 != request.size()) {
            __builtin_trap();
        }
        std::size_t lines = 0;
        for (std::size_t at = request.find('\n'); at != std::string::npos;
             at = request.find('\n', at + 1)) {
            ++lines;
        }
        if (lines != 6) {
            __builtin_trap();
        }
        const std::string tunnel = pelmora::ConnectRequest(*address);
        if (tunnel.find("\r\n\r\n") + 4 != tunnel.size() ||
            std::count(tunnel.begin(), tunnel.end(), '\n') != 3) {
            __builtin_trap();
        }
    } catch (const std::exception&) {
        // A host that cannot be put into a request is refused; that is fine.
    }
    return 0;
}
