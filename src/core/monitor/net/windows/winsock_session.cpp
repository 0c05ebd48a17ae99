#include "core/monitor/net/windows/winsock_session.h"

#include "core/monitor/net/probe_errors.h"
#include "core/monitor/net/socket_error.h"
#include "net_types.h"

namespace pelmora {
namespace {

// One WSAStartup for the process, paired with its WSACleanup.
class WinsockSession {
public:
    WinsockSession()
    {
        WSADATA data{};
        // WSAStartup returns its error instead of setting WSAGetLastError.
        if (const int failure = ::WSAStartup(MAKEWORD(2, 2), &data); failure != 0) {
            throw EIdSocketError(failure, SocketErrorMessage(failure));
        }
    }
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;
    ~WinsockSession() { ::WSACleanup(); }
};

} // namespace

void EnsureWinsock()
{
    // A failed start throws out of the initialisation, and the next call
    // tries again.
    static const WinsockSession session;
}

} // namespace pelmora
