#pragma once

#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "core/base/unique_fd.h"
#include "core/monitor/net/stop_signal.h"
#include "icmp_datagrams.h"

namespace pelmora::test {

// A stand-in host in the test's private network. It catches the echo
// requests sent to its address on a raw socket and lets the test's responder
// answer each with any IPv4 datagrams it builds (header included, so any
// source address will do). Switch the kernel's own echo answers off
// (icmp_echo_ignore_all) so that only the responder answers.
class FakeIcmpPeer {
public:
    class Link {
    public:
        // Sends one IPv4 datagram to the destination in its header.
        void Send(const Bytes& datagram) const;
        // True once the peer is being torn down; long responders stop then.
        bool Stopping() const;

    private:
        friend class FakeIcmpPeer;
        Link(int fd, const StopSignal& stop) : fd_(fd), stop_(stop) {}
        int fd_;
        const StopSignal& stop_;
    };

    // `request` is the caught echo request, IP header included.
    using Responder = std::function<void(const Bytes& request, const Link& link)>;

    FakeIcmpPeer(const char* address, Responder responder);
    FakeIcmpPeer(const FakeIcmpPeer&) = delete;
    FakeIcmpPeer& operator=(const FakeIcmpPeer&) = delete;
    ~FakeIcmpPeer();

    // The echo requests caught so far, in order.
    std::vector<Bytes> Requests() const;

private:
    void Run();

    in_addr address_;
    Responder responder_;
    UniqueFd listener_;
    UniqueFd sender_;
    StopSignal stop_;
    mutable std::mutex mutex_;
    std::vector<Bytes> requests_;
    std::thread thread_;
};

} // namespace pelmora::test
