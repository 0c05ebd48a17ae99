#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/monitor/net/stop_signal.h"
#include "support/tcp_listener.h"

namespace pelmora::test {

// What the fake proxy does with each connection once it has read the
// request head: send `answer` (possibly nothing), then keep the connection
// until the client closes it, close it, or reset it.
struct ProxyBehaviour {
    enum class Then { Hold, Close, Reset };
    std::string answer;
    Then then = Then::Hold;
};

// A proxy on loopback that serves one connection after another on a thread
// of its own and records the request heads it received.
class FakeProxy {
public:
    explicit FakeProxy(ProxyBehaviour behaviour, const std::string& address = "127.0.0.1");
    FakeProxy(const FakeProxy&) = delete;
    FakeProxy& operator=(const FakeProxy&) = delete;
    ~FakeProxy();

    std::uint16_t Port() const { return listener_.Port(); }
    // The request heads received so far, once there are `count` of them or
    // waitMs has passed.
    std::vector<std::string> Requests(std::size_t count, int waitMs);

private:
    void Serve();
    void ServeOne(int connection);
    // Waits until `fd` is readable; false when the proxy is being stopped.
    bool WaitReadable(int fd) const;

    TcpListener listener_;
    ProxyBehaviour behaviour_;
    StopSignal stop_;
    std::mutex mutex_;
    std::condition_variable received_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

} // namespace pelmora::test
