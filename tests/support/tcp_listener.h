#pragma once

#include <cstdint>
#include <string>

#include "core/base/unique_fd.h"

namespace pelmora::test {

// A listening TCP socket on an IPv4 or IPv6 address, on a port the system
// picks unless one is given, for probes to connect to. Connections wait in its queue until the test
// accepts them.
class TcpListener {
public:
    explicit TcpListener(const std::string& address = "127.0.0.1", std::uint16_t port = 0);

    std::uint16_t Port() const { return port_; }
    int Fd() const { return socket_.Get(); }
    // True when a connection is waiting to be accepted within waitMs.
    bool HasPendingConnection(int waitMs) const;
    // The next connection, or an invalid descriptor when none came within waitMs.
    UniqueFd Accept(int waitMs) const;

private:
    UniqueFd socket_;
    std::uint16_t port_ = 0;
};

// Reads from a connected socket until the peer closes it, at most waitMs in
// all. Returns the bytes read and whether the close was seen.
struct ReadToClose {
    std::string bytes;
    bool closed = false;
};
ReadToClose ReadUntilClosed(int fd, int waitMs);

} // namespace pelmora::test
