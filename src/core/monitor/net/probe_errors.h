#pragma once

#include <stdexcept>
#include <string>

namespace pelmora {

// Probe failures. The check worker looks only at the message text, so the
// class names merely group the failures the way the probes report them.
class EIdException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A socket call failed; carries the Winsock-style code of the failure.
class EIdSocketError : public EIdException {
public:
    EIdSocketError(int code, const std::string& message) : EIdException(message), code_(code) {}
    int Code() const { return code_; }

private:
    int code_;
};

inline constexpr const char* kCannotAllocateSocket = "Cannot allocate socket.";

class EIdInvalidSocket : public EIdException {
public:
    EIdInvalidSocket() : EIdException(kCannotAllocateSocket) {}
};

// Neither ICMP socket may be opened: no CAP_NET_RAW for the raw one, and the
// user's group outside net.ipv4.ping_group_range for the datagram one. The
// probe's text is the same; the program adds a hint on what to change.
class EIdIcmpNotPermitted : public EIdInvalidSocket {};

// No descriptor was free for the socket (the process's or the system's
// limit): worth another try once a running probe has closed its own.
class EIdNoDescriptor : public EIdInvalidSocket {
public:
    using EIdInvalidSocket::EIdInvalidSocket;
};

class EIdSocketHandleError : public EIdException {
public:
    using EIdException::EIdException;
};

class EIdPackageSizeTooBig : public EIdSocketHandleError {
public:
    EIdPackageSizeTooBig() : EIdSocketHandleError("Package Size Too Big.") {}
};

class EIdNotAllBytesSent : public EIdSocketHandleError {
public:
    EIdNotAllBytesSent() : EIdSocketHandleError("Not all bytes sent.") {}
};

class EIdCouldNotBindSocket : public EIdSocketHandleError {
public:
    EIdCouldNotBindSocket()
        : EIdSocketHandleError("Could not bind socket. Address and port are already in use.")
    {
    }
};

class EIdIcmpException : public EIdException {
public:
    using EIdException::EIdException;
};

class EIdConnectTimeout : public EIdException {
public:
    EIdConnectTimeout() : EIdException("Connect timed out.") {}
};

class EIdConnectException : public EIdException {
public:
    using EIdException::EIdException;
};

class EIdURIException : public EIdException {
public:
    using EIdException::EIdException;
};

class EIdReadTimeout : public EIdException {
public:
    EIdReadTimeout() : EIdException("Read Timeout") {}
};

class EIdSilentException : public EIdException {
public:
    using EIdException::EIdException;
};

class EIdConnClosedGracefully : public EIdSilentException {
public:
    EIdConnClosedGracefully() : EIdSilentException("Connection Closed Gracefully.") {}
};

// The probe was told to stop (the program is quitting); not a host failure.
class EIdAborted : public EIdException {
public:
    EIdAborted() : EIdException("Aborted.") {}
};

} // namespace pelmora
