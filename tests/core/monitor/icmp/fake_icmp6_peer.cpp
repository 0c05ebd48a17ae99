#include "fake_icmp6_peer.h"

#include <arpa/inet.h>
#include <netinet/icmp6.h>
#include <poll.h>
#include <sys/socket.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace pelmora::test {

in6_addr Address6(const char* text)
{
    in6_addr address{};
    ::inet_pton(AF_INET6, text, &address);
    return address;
}

Bytes Ipv6Datagram(const in6_addr& source, const in6_addr& destination, const Bytes& icmp)
{
    Bytes datagram(40, 0);
    datagram[0] = 0x60;
    datagram[4] = static_cast<std::uint8_t>(icmp.size() >> 8);
    datagram[5] = static_cast<std::uint8_t>(icmp.size() & 0xFF);
    datagram[6] = IPPROTO_ICMPV6;
    datagram[7] = 128;
    std::memcpy(&datagram[8], &source, 16);
    std::memcpy(&datagram[24], &destination, 16);
    datagram.insert(datagram.end(), icmp.begin(), icmp.end());
    return datagram;
}

void FakeIcmp6Peer::Link::Send(const in6_addr& source, const in6_addr& to, int hopLimit,
                               const Bytes& icmp) const
{
    sockaddr_in6 destination{};
    destination.sin6_family = AF_INET6;
    destination.sin6_addr = to;
    iovec data{const_cast<std::uint8_t*>(icmp.data()), icmp.size()};
    alignas(cmsghdr)
        std::array<std::uint8_t, CMSG_SPACE(sizeof(in6_pktinfo)) + CMSG_SPACE(sizeof(int))>
            control{};
    msghdr message{};
    message.msg_name = &destination;
    message.msg_namelen = sizeof destination;
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control.data();
    message.msg_controllen = control.size();
    cmsghdr* item = CMSG_FIRSTHDR(&message);
    item->cmsg_level = IPPROTO_IPV6;
    item->cmsg_type = IPV6_PKTINFO;
    item->cmsg_len = CMSG_LEN(sizeof(in6_pktinfo));
    in6_pktinfo from{};
    from.ipi6_addr = source;
    std::memcpy(CMSG_DATA(item), &from, sizeof from);
    item = CMSG_NXTHDR(&message, item);
    item->cmsg_level = IPPROTO_IPV6;
    item->cmsg_type = IPV6_HOPLIMIT;
    item->cmsg_len = CMSG_LEN(sizeof(int));
    std::memcpy(CMSG_DATA(item), &hopLimit, sizeof hopLimit);
    [[maybe_unused]] const auto sent = ::sendmsg(fd_, &message, MSG_DONTWAIT);
}

FakeIcmp6Peer::FakeIcmp6Peer(const char* address, Responder responder)
    : address_(Address6(address)), responder_(std::move(responder)),
      socket_(::socket(AF_INET6, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMPV6))
{
    if (!socket_.Valid()) {
        throw std::system_error(errno, std::generic_category(), "raw ICMPv6 socket");
    }
    icmp6_filter onlyRequests{};
    ICMP6_FILTER_SETBLOCKALL(&onlyRequests);
    ICMP6_FILTER_SETPASS(ICMP6_ECHO_REQUEST, &onlyRequests);
    const int on = 1;
    if (::setsockopt(socket_.Get(), IPPROTO_ICMPV6, ICMP6_FILTER, &onlyRequests,
                     sizeof onlyRequests) != 0 ||
        ::setsockopt(socket_.Get(), IPPROTO_IPV6, IPV6_RECVPKTINFO, &on, sizeof on) != 0) {
        throw std::system_error(errno, std::generic_category(), "raw ICMPv6 options");
    }
    thread_ = std::thread([this] { Run(); });
}

FakeIcmp6Peer::~FakeIcmp6Peer()
{
    stop_.Raise();
    thread_.join();
}

void FakeIcmp6Peer::Run()
{
    const Link link(socket_.Get());
    std::array<std::uint8_t, 2048> buffer{};
    while (!stop_.IsRaised()) {
        pollfd watched[2] = {{socket_.Get(), POLLIN, 0}, {stop_.Handle(), POLLIN, 0}};
        if (::poll(watched, 2, -1) <= 0 || (watched[0].revents & POLLIN) == 0) {
            continue;
        }
        sockaddr_in6 from{};
        iovec data{buffer.data(), buffer.size()};
        alignas(cmsghdr) std::array<std::uint8_t, 128> control{};
        msghdr message{};
        message.msg_name = &from;
        message.msg_namelen = sizeof from;
        message.msg_iov = &data;
        message.msg_iovlen = 1;
        message.msg_control = control.data();
        message.msg_controllen = control.size();
        const ssize_t length = ::recvmsg(socket_.Get(), &message, MSG_DONTWAIT);
        if (length < 8) {
            continue;
        }
        Request request{Bytes(buffer.begin(), buffer.begin() + length), from.sin6_addr, {}};
        for (cmsghdr* item = CMSG_FIRSTHDR(&message); item != nullptr;
             item = CMSG_NXTHDR(&message, item)) {
            if (item->cmsg_level == IPPROTO_IPV6 && item->cmsg_type == IPV6_PKTINFO) {
                in6_pktinfo info{};
                std::memcpy(&info, CMSG_DATA(item), sizeof info);
                request.to = info.ipi6_addr;
            }
        }
        if (std::memcmp(&request.to, &address_, sizeof address_) == 0) {
            responder_(request, link);
        }
    }
}

} // namespace pelmora::test
