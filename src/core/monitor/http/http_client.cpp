#include "core/monitor/http/http_client.h"

#include <poll.h>
#include <sys/socket.h>

#include <array>
#include <cerrno>
#include <chrono>

#include "core/monitor/host_rules.h"
#include "core/monitor/http/proxy_request.h"
#include "core/monitor/http/socket_wait.h"
#include "core/monitor/http/status_line_reader.h"
#include "core/monitor/http/tcp_connect.h"
#include "core/monitor/net/probe_errors.h"
#include "core/monitor/net/socket_error.h"

namespace pelmora {
namespace {

std::chrono::steady_clock::time_point After(int milliseconds)
{
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
}

} // namespace

bool TIdHTTP::IsConnected() const
{
    return connection_.Valid();
}

void TIdHTTP::CloseConnection()
{
    if (connection_.Valid()) {
        ::shutdown(connection_.Get(), SHUT_WR);
        connection_.Reset();
    }
}

void TIdHTTP::OpenConnection(int limitMs)
{
    CloseConnection();
    connection_ = ConnectTcp(Host, Port, limitMs, Abort);
}

int TIdHTTP::GetPage(const std::string& url)
{
    if (url.empty()) {
        throw EIdURIException("Host field is empty");
    }
    const auto address = ParseHttpHostText(url);
    if (!address) {
        throw EIdURIException("Invalid host or port in URL");
    }
    const std::string request = ProxyRequest(*address);
    const std::int32_t proxyPort = ProxyParams.ProxyPort;
    if (proxyPort < 1 || proxyPort > 65535) {
        throw EIdConnectException("Invalid proxy port " + std::to_string(proxyPort) + ".");
    }

    CloseConnection();
    Host = ProxyParams.ProxyServer;
    Port = static_cast<std::uint16_t>(proxyPort);
    OpenConnection(ReadTimeout);
    // One exchange per connection: nothing stays open for the next check,
    // whether the answer came, failed or never came.
    struct CloseAtEnd {
        TIdHTTP& client;
        ~CloseAtEnd() { client.CloseConnection(); }
    } closeAtEnd{*this};

    SendAll(request);
    return ReadStatusCode();
}

void TIdHTTP::SendAll(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t sent = ::send(connection_.Get(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(sent));
        } else if (sent == 0) {
            throw EIdConnClosedGracefully();
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            // A proxy that takes no more of the request is as silent as one
            // that does not answer.
            if (!WaitForSocket(connection_.Get(), POLLOUT, After(ReadTimeout), Abort)) {
                throw EIdReadTimeout();
            }
        } else if (errno != EINTR) {
            ThrowSocketError(errno);
        }
    }
}

int TIdHTTP::ReadStatusCode()
{
    StatusLineReader reader;
    std::array<char, 256> buffer{};
    // Ends within StatusLineReader::kMaxBytes received bytes at the latest.
    while (true) {
        if (!WaitForSocket(connection_.Get(), POLLIN, After(ReadTimeout), Abort)) {
            throw EIdReadTimeout();
        }
        const ssize_t received = ::recv(connection_.Get(), buffer.data(), buffer.size(), 0);
        if (received == 0) {
            throw EIdConnClosedGracefully();
        }
        if (received < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) {
                continue;
            }
            ThrowSocketError(errno);
        }
        switch (reader.Feed({buffer.data(), static_cast<std::size_t>(received)})) {
        case StatusLineReader::Result::Complete: return reader.StatusCode();
        case StatusLineReader::Result::Malformed: throw EIdException("Invalid HTTP status line.");
        case StatusLineReader::Result::NeedMore: break;
        }
    }
}

} // namespace pelmora
