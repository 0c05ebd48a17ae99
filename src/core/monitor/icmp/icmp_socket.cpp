#include "core/monitor/icmp/icmp_socket.h"

#include <linux/errqueue.h>
#include <linux/icmp.h>
#include <netinet/icmp6.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "core/monitor/icmp/icmp6_packet.h"
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
void PassOnlyPossibleAnswers(int fd, int family)
{
    int result = 0;
    if (family == AF_INET6) {
        icmp6_filter filter{};
        ICMP6_FILTER_SETBLOCKALL(&filter);
        ICMP6_FILTER_SETPASS(ICMP6_ECHO_REPLY, &filter);
        ICMP6_FILTER_SETPASS(ICMP6_DST_UNREACH, &filter);
        ICMP6_FILTER_SETPASS(ICMP6_TIME_EXCEEDED, &filter);
        result = ::setsockopt(fd, IPPROTO_ICMPV6, ICMP6_FILTER, &filter, sizeof filter);
    } else {
        icmp_filter filter{};
        filter.data =
            ~((1U << ICMP_ECHOREPLY) | (1U << ICMP_DEST_UNREACH) | (1U << ICMP_TIME_EXCEEDED));
        result = ::setsockopt(fd, SOL_RAW, ICMP_FILTER, &filter, sizeof filter);
    }
    if (result != 0) {
        ThrowSocketError(errno);
    }
}

int ProtocolOf(int family)
{
    if (family == AF_INET6) {
        return IPPROTO_ICMPV6;
    }
    return IPPROTO_ICMP;
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
    sockaddr_storage name{};
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
UniqueFd OpenRaw(int family)
{
    const NetRawRaised raised;
    return UniqueFd(::socket(family, SOCK_RAW | SOCK_CLOEXEC, ProtocolOf(family)));
}

// The control messages that carry the TTL (hop limit) and an error report,
// by family.
struct ControlTypes {
    int level;
    int ttl;
    int error;
    std::uint8_t icmpOrigin;
};

ControlTypes ControlTypesOf(int family)
{
    if (family == AF_INET6) {
        return {IPPROTO_IPV6, IPV6_HOPLIMIT, IPV6_RECVERR, SO_EE_ORIGIN_ICMP6};
    }
    return {IPPROTO_IP, IP_TTL, IP_RECVERR, SO_EE_ORIGIN_ICMP};
}

bool IsMessage(const cmsghdr& message, int level, int type)
{
    return message.cmsg_level == level && message.cmsg_type == type;
}

// The reporter's address, which follows the error description; its size
// depends on the family.
std::size_t OffenderSize(int family)
{
    return family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
}

} // namespace

IcmpSocket::IcmpSocket(UniqueFd fd, int family, Kind kind)
    : fd_(std::move(fd)), family_(family), kind_(kind)
{
}

IcmpSocket IcmpSocket::Open(int family)
{
    // A raw socket needs CAP_NET_RAW: root, or the file capability on the
    // executable; it is kept permitted and raised only to open the socket.
    // Without it socket() fails with EPERM and the datagram socket
    // is the way left. The other failures (EMFILE/ENFILE: out of descriptors;
    // ENOBUFS/ENOMEM: out of memory; EPROTONOSUPPORT: a protocol the kernel
    // does not know) would most likely hit the datagram socket too, but it
    // costs one call to find out.
    UniqueFd raw = OpenRaw(family);
    const bool rawRefused = !raw.Valid() && (errno == EPERM || errno == EACCES);
    if (raw.Valid()) {
        PassOnlyPossibleAnswers(raw.Get(), family);
        // The raw ICMPv6 socket strips the IPv6 header like the datagram
        // socket does: the hop limit comes beside the datagram.
        if (family == AF_INET6) {
            EnableOption(raw.Get(), IPPROTO_IPV6, IPV6_RECVHOPLIMIT);
        }
        return {std::move(raw), family, Kind::Raw};
    }
    // The unprivileged ICMP datagram socket fails with EACCES when the
    // process's group is outside net.ipv4.ping_group_range (by default no
    // group is inside), and with EPROTONOSUPPORT/ESOCKTNOSUPPORT on a kernel built
    // without it. Then no way to send an echo request is open. The range
    // governs the ICMPv6 datagram socket as well.
    UniqueFd datagram(::socket(family, SOCK_DGRAM | SOCK_CLOEXEC, ProtocolOf(family)));
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
    if (family == AF_INET6) {
        EnableOption(datagram.Get(), IPPROTO_IPV6, IPV6_RECVHOPLIMIT);
        EnableOption(datagram.Get(), IPPROTO_IPV6, IPV6_RECVERR);
    } else {
        EnableOption(datagram.Get(), IPPROTO_IP, IP_RECVTTL);
        EnableOption(datagram.Get(), IPPROTO_IP, IP_RECVERR);
    }
    return {std::move(datagram), family, Kind::Datagram};
}

void IcmpSocket::SetTtl(int ttl) const
{
    const int result =
        family_ == AF_INET6
            ? ::setsockopt(fd_.Get(), IPPROTO_IPV6, IPV6_UNICAST_HOPS, &ttl, sizeof ttl)
            : ::setsockopt(fd_.Get(), IPPROTO_IP, IP_TTL, &ttl, sizeof ttl);
    if (result != 0) {
        ThrowSocketError(errno);
    }
}

std::uint16_t IcmpSocket::Send(const EchoRequest& request, const IpAddress& destination,
                               std::uint16_t port) const
{
    sockaddr_storage to{};
    const socklen_t toLength = ToSocketAddress(destination, port, &to);
    const ssize_t sent = ::sendto(fd_.Get(), request.data(), request.size(), 0,
                                  reinterpret_cast<const sockaddr*>(&to), toLength);
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
        // Both families keep the port at the same place.
        sockaddr_storage local{};
        socklen_t length = sizeof local;
        if (::getsockname(fd_.Get(), reinterpret_cast<sockaddr*>(&local), &length) != 0) {
            ThrowSocketError(errno);
        }
        static_assert(offsetof(sockaddr_in, sin_port) == offsetof(sockaddr_in6, sin6_port));
        std::memcpy(onWire,
                    reinterpret_cast<const std::uint8_t*>(&local) + offsetof(sockaddr_in, sin_port),
                    sizeof onWire);
    }
    return static_cast<std::uint16_t>(onWire[0] | (onWire[1] << 8));
}

std::optional<IcmpAnswer> IcmpSocket::ReceiveOne(const Expectations& expected, bool* empty)
{
    if (kind_ == Kind::Raw) {
        return family_ == AF_INET6 ? ReceiveDatagram(expected, empty) : ReceiveRaw(expected, empty);
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
    framing.source = FromSocketAddress(message.name);
    const ControlTypes types = ControlTypesOf(family_);
    for (cmsghdr* item = CMSG_FIRSTHDR(&message.header); item != nullptr;
         item = CMSG_NXTHDR(&message.header, item)) {
        if (IsMessage(*item, types.level, types.ttl)) {
            framing.ttl = TtlFrom(*item);
        }
    }
    return Examine(static_cast<std::size_t>(length), expected, framing);
}

std::optional<IcmpAnswer> IcmpSocket::Examine(std::size_t length, const Expectations& expected,
                                              const DatagramFraming& framing) const
{
    const bool v6 = family_ == AF_INET6;
    const auto sequence = v6 ? SequenceAnswered6(buffer_.data(), length)
                             : SequenceAnswered(buffer_.data(), length, framing);
    const EchoExpectation* request = sequence ? expected(*sequence) : nullptr;
    if (request == nullptr) {
        return std::nullopt;
    }
    return v6 ? ExamineDatagram6(buffer_.data(), length, *request, framing)
              : ExamineDatagram(buffer_.data(), length, *request, framing);
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
    report.quotedDestination = FromSocketAddress(message.name);
    report.quoted = buffer_.data();
    report.quotedLength = static_cast<std::size_t>(length);
    bool fromIcmp = false;
    const ControlTypes types = ControlTypesOf(family_);
    const std::size_t offenderSize = OffenderSize(family_);
    for (cmsghdr* item = CMSG_FIRSTHDR(&message.header); item != nullptr;
         item = CMSG_NXTHDR(&message.header, item)) {
        if (IsMessage(*item, types.level, types.ttl)) {
            report.ttl = TtlFrom(*item);
        } else if (IsMessage(*item, types.level, types.error) &&
                   item->cmsg_len >= CMSG_LEN(sizeof(sock_extended_err) + offenderSize)) {
            // The report's sender follows the error description.
            sock_extended_err error{};
            sockaddr_storage offender{};
            std::memcpy(&error, CMSG_DATA(item), sizeof error);
            std::memcpy(&offender, CMSG_DATA(item) + sizeof error, offenderSize);
            fromIcmp = error.ee_origin == types.icmpOrigin;
            report.type = error.ee_type;
            report.reporter = FromSocketAddress(offender);
        }
    }
    // Errors of local origin (a send that failed on this machine) carry no
    // report from the network.
    if (!fromIcmp) {
        return std::nullopt;
    }
    // The quoted request starts with its ICMP header in both families.
    const auto sequence = SequenceAnswered(report);
    const EchoExpectation* request = sequence ? expected(*sequence) : nullptr;
    if (request == nullptr) {
        return std::nullopt;
    }
    return family_ == AF_INET6 ? ExamineErrorQueueReport6(report, *request)
                               : ExamineErrorQueueReport(report, *request);
}

} // namespace pelmora
