#pragma once

#include <string>
#include <string_view>

#include "core/base/unique_fd.h"
#include "core/monitor/http_probe.h"

namespace pelmora {

// The HTTP client of the checks: a bare TCP connect for a direct check, one
// GET through a proxy otherwise. No thread of its own; every wait is a poll
// that also watches Abort.
class TIdHTTP final : public HttpProbe {
public:
    TIdHTTP() = default;

    bool IsConnected() const override;
    void CloseConnection() override;
    // Replaces any open connection with a fresh one to Host:Port.
    void OpenConnection(int limitMs) override;
    // Connects to the proxy within ReadTimeout, sends the request for the
    // host text `url`, reads the answer up to the end of its status line with
    // ReadTimeout as the longest silence, closes and returns the status code.
    // Host and Port name the proxy afterwards. The connection is closed
    // whatever the outcome.
    int GetPage(const std::string& url) override;

private:
    void SendAll(std::string_view bytes);
    int ReadStatusCode();

    UniqueFd connection_;
};

} // namespace pelmora
