#pragma once

#include <cstdint>
#include <string>

namespace pelmora {

class StopSignal;

struct TIdProxyParams {
    std::string ProxyServer;
    std::int32_t ProxyPort = 0;
};

// What the check worker needs of an HTTP client. Failures are EIdException
// errors whose message text tells what happened.
class HttpProbe {
public:
    HttpProbe() = default;
    HttpProbe(const HttpProbe&) = delete;
    HttpProbe& operator=(const HttpProbe&) = delete;
    virtual ~HttpProbe() = default;

    virtual bool IsConnected() const = 0;
    // Closes the open connection, if any; never fails.
    virtual void CloseConnection() = 0;
    // Opens a TCP connection to Host:Port within limitMs milliseconds.
    virtual void OpenConnection(int limitMs) = 0;
    // One GET of the host text `url` through ProxyParams; returns the status
    // code of the proxy's answer.
    virtual int GetPage(const std::string& url) = 0;

    std::string Host;
    std::uint16_t Port = 80;
    int ReadTimeout = 3000;
    TIdProxyParams ProxyParams;
    // When raised, a running call gives up at once with EIdAborted.
    const StopSignal* Abort = nullptr;
};

} // namespace pelmora
