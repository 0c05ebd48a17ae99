#pragma once

#include <string>

namespace pelmora {

// Socket failures are reported with Winsock's codes and texts on every
// platform, so a message reads the same wherever the program runs.
constexpr int kWsaHostNotFound = 11001;

// "Socket Error # " + code + CR LF + the text for the code (empty when the
// code has none).
std::string SocketErrorMessage(int winsockCode);

// The Winsock code for an errno value; a value without a counterpart is
// returned unchanged.
int WinsockCodeFromErrno(int errnoValue);

// Throws EIdSocketError for the errno value.
[[noreturn]] void ThrowSocketError(int errnoValue);

} // namespace pelmora
