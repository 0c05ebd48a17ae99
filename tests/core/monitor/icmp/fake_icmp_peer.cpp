#include "fake_icmp_peer.h"

#include <linux/icmp.h>
#include <poll.h>
#include <sys/socket.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <system_error>

namespace pelmora::test {
namespace {

UniqueFd OpenRaw(int protocol)
{
    UniqueFd fd(::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, protocol));
    if (!fd.Valid()) {
        throw std::system_error(errno, std::generic_category(), "raw socket");
    }
    return fd;
}

} // namespace

void FakeIcmpPeer::Link::Send(const Bytes& datagram) const
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    std::memcpy(&to.sin_addr.s_addr, &datagram.at(16), 4);
    // A full receive queue at the other end drops the datagram; floods rely
    // on that rather than on the send waiting.
    [[maybe_unused]] const auto sent = ::sendto(fd_, datagram.data(), datagram.size(), MSG_DONTWAIT,
                                                reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

bool FakeIcmpPeer::Link::Stopping() const
{
    return stop_.IsRaised();
}

FakeIcmpPeer::FakeIcmpPeer(const char* address, Responder responder)
    : address_(Address(address)), responder_(std::move(responder)),
      listener_(OpenRaw(IPPROTO_ICMP)), sender_(OpenRaw(IPPROTO_RAW))
{
    icmp_filter onlyRequests{};
    onlyRequests.data = ~(1U << ICMP_ECHO);
    if (::setsockopt(listener_.Get(), SOL_RAW, ICMP_FILTER, &onlyRequests, sizeof onlyRequests) !=
        0) {
        throw std::system_error(errno, std::generic_category(), "ICMP_FILTER");
    }
    thread_ = std::thread([this] { Run(); });
}

FakeIcmpPeer::~FakeIcmpPeer()
{
    stop_.Raise();
    thread_.join();
}

std::vector<Bytes> FakeIcmpPeer::Requests() const
{
    const std::lock_guard lock(mutex_);
    return requests_;
}

void FakeIcmpPeer::Run()
{
    const Link link(sender_.Get(), stop_);
    std::array<std::uint8_t, 2048> buffer{};
    while (!stop_.IsRaised()) {
        pollfd watched[2] = {{listener_.Get(), POLLIN, 0}, {stop_.Handle(), POLLIN, 0}};
        if (::poll(watched, 2, -1) <= 0 || (watched[0].revents & POLLIN) == 0) {
            continue;
        }
        const ssize_t length = ::recv(listener_.Get(), buffer.data(), buffer.size(), MSG_DONTWAIT);
        if (length < 28) {
            continue;
        }
        const Bytes request(buffer.begin(), buffer.begin() + length);
        if (std::memcmp(&request[16], &address_.s_addr, 4) != 0) {
            continue;
        }
        {
            const std::lock_guard lock(mutex_);
            requests_.push_back(request);
        }
        responder_(request, link);
    }
}

} // namespace pelmora::test
