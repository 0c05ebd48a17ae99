#include "core/monitor/icmp/icmp_socket.h"

#include <linux/errqueue.h>
#include <linux/icmp.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "core/monitor/net/privileges.h"
#include "core/monitor/net/probe_errors.h"
#include "core/monitor/net/socket_error.h"

namespace pelmora {
namespace {

// Room for the TTL and an error report with its offender address.
constexpr std::size_t kControlSize = 256;

void EnableOption(int fd, int level, int option)
{
    const int on = 1;
    if (::setsockopt(fd, level, option, &on, sizeof on) != 0) {
        ThrowSocketError(errno);
    }
}

// A raw socket sees every ICMP datagram that reaches the machine. Only echo
// replies, destination-unreachable and time-exceeded reports can answer us;
// the kernel drops the rest before they wake the wait.
void PassOnlyPossibleAnswers(int fd)
{
    icmp_filter filter{};
    filter.data =
        ~((1U << ICMP_ECHOREPLY) | (1U << ICMP_DEST_UNREACH) | (1U << ICMP_TIME_EXCEEDED));
    if (::setsockopt(fd, SOL_RAW, ICMP_FILTER, &filter, sizeof filter) != 0) {
        ThrowSocketError(errno);
    }
}

bool NothingWaiting(int error)
{
    return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

// The errors the kernel also records on a datagram socket when an ICMP report
// for it arrives (unreachable codes, time exceeded, parameter problem,
// redirect). A receive may return one of them in place of a datagram; the
// report itself waits in the error queue and is read from there.
bool IsReportedError(int error)
{
    switch (error) {
    case ENETUNREACH:
    case EHOSTUNREACH:
    case EHOSTDOWN:
    case ENONET:
    case ENOPROTOOPT:
    case ECONNREFUSED:
    case EMSGSIZE:
    case EOPNOTSUPP:
    case EACCES:
    case EPROTO:
    case EREMOTEIO: return true;
    default: return false;
    }
}

std::uint8_t TtlFrom(const cmsghdr& message)
{
    int ttl = 0;
    std::memcpy(&ttl, CMSG_DATA(&message), sizeof ttl);
    return static_cast<std::uint8_t>(ttl);
}

// One recvmsg on a datagram socket with the address and the control messages
// that come with the data. Stays where it was made: the header points into it.
struct ReceivedMessage {
    msghdr header{};
    sockaddr_in name{};
    iovec data{};
    alignas(cmsghdr) std::array<std::uint8_t, kControlSize> control{};

    ssize_t Receive(int fd, std::uint8_t* bytes, std::size_t size, int flags)
    {
        data = {bytes, size};
        header.msg_name = &name;
        header.msg_namelen = sizeof name;
        header.msg_iov = &data;
        header.msg_iovlen = 1;
        header.msg_control = control.data();
        header.msg_controllen = control.size();
        return ::recvmsg(fd, &header, flags);
    }
};

// CAP_NET_RAW, where the process holds it at all, is effective only for this
// call and only in this thread: nothing else the process does can use it.
UniqueFd OpenRaw(int protocol)
{
    const NetRawRaised raised;
    return UniqueFd(::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, protocol));
}

bool IsIpMessage(const cmsghdr& message, int type)
{
    return message.cmsg_level == IPPROTO_IP && message.cmsg_type == type;
}

} // namespace

IcmpSocket::IcmpSocket(UniqueFd fd, Kind kind) : fd_(std::move(fd)), kind_(kind) {}

IcmpSocket IcmpSocket::Open(int protocol)
{
    // A raw socket needs CAP_NET_RAW: root, or the file capability on the
    // executable; it is kept permitted and raised only to open the socket.
    // Without it socket() fails with EPERM and the datagram socket
    // is the way left. The other failures (EMFILE/ENFILE: out of descriptors;
    // ENOBUFS/ENOMEM: out of memory; EPROTONOSUPPORT: a protocol the kernel
    // does not know) would most likely hit the datagram socket too, but it
    // costs one call to find out.
    UniqueFd raw = OpenRaw(protocol);
    const bool rawRefused = !raw.Valid() && (errno == EPERM || errno == EACCES);
    if (raw.Valid()) {
        PassOnlyPossibleAnswers(raw.Get());
        return IcmpSocket(std::move(raw), Kind::Raw);
    }
    // The unprivileged ICMP datagram socket fails with EACCES when the
    // process's group is outside net.ipv4.ping_group_range (by default no
    // group is inside), and with EPROTONOSUPPORT/ESOCKTNOSUPPORT on a kernel built
    // without it. Then no way to send an echo request is open.
    UniqueFd datagram(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, protocol));
    if (!datagram.Valid()) {
        if (errno == EMFILE || errno == ENFILE) {
            throw EIdNoDescriptor();
        }
        if (rawRefused && (errno == EACCES || errno == EPERM)) {
            throw EIdIcmpNotPermitted();
        }
        throw EIdInvalidSocket();
    }
    // This socket removes the IP header and routes reports to an error
    // queue: have it hand over the TTL with each datagram and keep the
    // unreachable and time-exceeded reports for us.
    EnableOption(datagram.Get(), IPPROTO_IP, IP_RECVTTL);
    EnableOption(datagram.Get(), IPPROTO_IP, IP_RECVERR);
    return IcmpSocket(std::move(datagram), Kind::Datagram);
}

void IcmpSocket::SetTtl(int ttl) const
{
    if (::setsockopt(fd_.Get(), IPPROTO_IP, IP_TTL, &ttl, sizeof ttl) != 0) {
        ThrowSocketError(errno);
    }
}

std::uint16_t IcmpSocket::Send(const EchoRequest& request, in_addr destination,
                               std::uint16_t port) const
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr = destination;
    const ssize_t sent = ::sendto(fd_.Get(), request.data(), request.size(), 0,
                                  reinterpret_cast<const sockaddr*>(&to), sizeof to);
    if (sent < 0) {
        if (errno == EMSGSIZE) {
            throw EIdPackageSizeTooBig();
        }
        ThrowSocketError(errno);
    }
    if (static_cast<std::size_t>(sent) < request.size()) {
        throw EIdNotAllBytesSent();
    }
    std::uint8_t onWire[2] = {request[4], request[5]};
    if (kind_ == Kind::Datagram) {
        // The kernel writes the socket's local "port", picked at the first
        // send, into the identifier field in place of ours.
        sockaddr_in local{};
        socklen_t length = sizeof local;
        if (::getsockname(fd_.Get(), reinterpret_cast<sockaddr*>(&local), &length) != 0) {
            ThrowSocketError(errno);
        }
        std::memcpy(onWire, &local.sin_port, sizeof onWire);
    }
    return static_cast<std::uint16_t>(onWire[0] | (onWire[1] << 8));
}

std::optional<IcmpAnswer> IcmpSocket::ReceiveOne(const Expectations& expected, bool* empty)
{
    if (kind_ == Kind::Raw) {
        return ReceiveRaw(expected, empty);
    }
    if (auto report = ReceiveErrorReport(expected, empty); report || !*empty) {
        return report;
    }
    return ReceiveDatagram(expected, empty);
}

std::optional<IcmpAnswer> IcmpSocket::ReceiveRaw(const Expectations& expected, bool* empty)
{
    const ssize_t length =
        ::recv(fd_.Get(), buffer_.data(), buffer_.size(), MSG_DONTWAIT | MSG_TRUNC);
    *empty = length < 0 && errno != EINTR;
    if (length < 0) {
        if (NothingWaiting(errno)) {
            return std::nullopt;
        }
        ThrowSocketError(errno);
    }
    // Longer than the buffer: far longer than anything that answers us.
    if (static_cast<std::size_t>(length) > buffer_.size()) {
        return std::nullopt;
    }
    return Examine(static_cast<std::size_t>(length), expected, DatagramFraming{});
}

std::optional<IcmpAnswer> IcmpSocket::ReceiveDatagram(const Expectations& expected, bool* empty)
{
    ReceivedMessage message;
    const ssize_t length = message.Receive(fd_.Get(), buffer_.data(), buffer_.size(), MSG_DONTWAIT);
    *empty = length < 0 && NothingWaiting(errno) && errno != EINTR;
    if (length < 0) {
        if (NothingWaiting(errno) || IsReportedError(errno)) {
            return std::nullopt;
        }
        ThrowSocketError(errno);
    }
    if ((message.header.msg_flags & MSG_TRUNC) != 0) {
        return std::nullopt;
    }
    DatagramFraming framing;
    framing.ipHeaderInFront = false;
    framing.source = message.name.sin_addr;
    for (cmsghdr* item = CMSG_FIRSTHDR(&message.header); item != nullptr;
         item = CMSG_NXTHDR(&message.header, item)) {
        if (IsIpMessage(*item, IP_TTL)) {
            framing.ttl = TtlFrom(*item);
        }
    }
    return Examine(static_cast<std::size_t>(length), expected, framing);
}

std::optional<IcmpAnswer> IcmpSocket::Examine(std::size_t length, const Expectations& expected,
                                              const DatagramFraming& framing) const
{
    const auto sequence = SequenceAnswered(buffer_.data(), length, framing);
    const EchoExpectation* request = sequence ? expected(*sequence) : nullptr;
    if (request == nullptr) {
        return std::nullopt;
    }
    return ExamineDatagram(buffer_.data(), length, *request, framing);
}

std::optional<IcmpAnswer> IcmpSocket::ReceiveErrorReport(const Expectations& expected, bool* empty)
{
    // The name of an error-queue message is the address the quoted datagram
    // was sent to; the data is the quoted datagram from its ICMP header on.
    ReceivedMessage message;
    const ssize_t length =
        message.Receive(fd_.Get(), buffer_.data(), buffer_.size(), MSG_ERRQUEUE | MSG_DONTWAIT);
    *empty = length < 0 && errno != EINTR;
    if (length < 0) {
        if (NothingWaiting(errno)) {
            return std::nullopt;
        }
        ThrowSocketError(errno);
    }
    ErrorQueueReport report;
    report.quotedDestination = message.name.sin_addr;
    report.quoted = buffer_.data();
    report.quotedLength = static_cast<std::size_t>(length);
    bool fromIcmp = false;
    for (cmsghdr* item = CMSG_FIRSTHDR(&message.header); item != nullptr;
         item = CMSG_NXTHDR(&message.header, item)) {
        if (IsIpMessage(*item, IP_TTL)) {
            report.ttl = TtlFrom(*item);
        } else if (IsIpMessage(*item, IP_RECVERR) &&
                   item->cmsg_len >= CMSG_LEN(sizeof(sock_extended_err) + sizeof(sockaddr_in))) {
            // The report's sender follows the error description.
            sock_extended_err error{};
            sockaddr_in offender{};
            std::memcpy(&error, CMSG_DATA(item), sizeof error);
            std::memcpy(&offender, CMSG_DATA(item) + sizeof error, sizeof offender);
            fromIcmp = error.ee_origin == SO_EE_ORIGIN_ICMP;
            report.type = error.ee_type;
            report.reporter = offender.sin_addr;
        }
    }
    // Errors of local origin (a send that failed on this machine) carry no
    // report from the network.
    if (!fromIcmp) {
        return std::nullopt;
    }
    const auto sequence = SequenceAnswered(report);
    const EchoExpectation* request = sequence ? expected(*sequence) : nullptr;
    if (request == nullptr) {
        return std::nullopt;
    }
    return ExamineErrorQueueReport(report, *request);
}

} // namespace pelmora
