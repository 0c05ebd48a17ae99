#pragma once

#include <string>

namespace pelmora {

// Socket failures are reported with Winsock's codes and texts on every
// platform, so a message reads the same wherever the program runs.
constexpr int kWsaTimedOut = 10060;
constexpr int kWsaConnectionRefused = 10061;
constexpr int kWsaHostNotFound = 11001;

// "Socket Error # " + code + CR LF + the text for the code (empty when the
// code has none).
std::string SocketErrorMessage(int winsockCode);

// The system's error of the last failed socket call in this thread: errno
// on Linux, WSAGetLastError() on Windows.
int LastSocketError();

// The Winsock code for a system error as LastSocketError() or SO_ERROR give
// it: on Linux the errno value mapped (one without a counterpart is returned
// unchanged), on Windows the code itself.
int WinsockCode(int systemError);

// Throws EIdSocketError for the system error.
[[noreturn]] void ThrowSocketError(int systemError);

} // namespace pelmora
