#include "support/tinyproxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

#include "core/base/unique_fd.h"

namespace pelmora::test {
namespace {

constexpr const char* kProgram = "/usr/bin/tinyproxy";

bool Listening(std::uint16_t port)
{
    const UniqueFd socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return ::connect(socket.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) ==
           0;
}

} // namespace

Tinyproxy::Tinyproxy()
{
    if (!std::filesystem::exists(kProgram)) {
        failure_ = std::string(kProgram) + " is missing (tools/install-deps installs it)";
        return;
    }
    // Root would be refused; nobody may do all a proxy needs here.
    const auto config = dir_ / "tinyproxy.conf";
    WriteFile(config, "User nobody\nGroup nogroup\nListen 127.0.0.1\nPort " +
                          std::to_string(kPort) + "\nTimeout 5\nMaxClients 20\n");
    process_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{kProgram, "-d", "-c", config.string()});
    for (int i = 0; i < 100; ++i) {
        if (Listening(kPort)) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    failure_ = "tinyproxy does not listen on port " + std::to_string(kPort);
}

Tinyproxy::~Tinyproxy()
{
    if (process_) {
        process_->Signal(SIGTERM);
        process_->Wait(3000);
    }
}

} // namespace pelmora::test
