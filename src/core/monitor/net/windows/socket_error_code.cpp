#include "core/monitor/net/probe_errors.h"
#include "core/monitor/net/socket_error.h"
#include "net_types.h"

namespace pelmora {

// Winsock's codes are the native ones here.
int WinsockCode(int systemError)
{
    return systemError;
}

int LastSocketError()
{
    return ::WSAGetLastError();
}

void ThrowSocketError(int systemError)
{
    throw EIdSocketError(systemError, SocketErrorMessage(systemError));
}

} // namespace pelmora
