#include <string>

#include <gtest/gtest.h>

#include "core/monitor/hosts/host_rules.h"
#include "core/monitor/http/proxy_request.h"
#include "core/monitor/net/probe_errors.h"

namespace pelmora {
namespace {

std::string FirstLine(const std::string& request)
{
    return request.substr(0, request.find("\r\n"));
}

std::string HostHeader(const std::string& request)
{
    const std::size_t start = request.find("\r\nHost: ") + 8;
    return request.substr(start, request.find("\r\n", start) - start);
}

TEST(ProxyRequest, HasTheHeadersInOrderAndNothingElse)
{
    EXPECT_EQ(ProxyRequest({"server", 80, "/"}),
              "GET http://server/ HTTP/1.1\r\n"
              "Content-Type: text/html\r\n"
              "Host: server\r\n"
              "Accept: text/html, */*\r\n"
              "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
              "\r\n");
}

struct Target {
    std::string hostText;
    std::string requestLine;
    std::string host;
};

void PrintTo(const Target& target, std::ostream* out)
{
    *out << ::testing::PrintToString(target.hostText);
}

class ProxyRequestTarget : public ::testing::TestWithParam<Target> {};

TEST_P(ProxyRequestTarget, NamesHostPortAndPath)
{
    const auto address = ParseHttpHostText(GetParam().hostText);
    ASSERT_TRUE(address.has_value());
    const std::string request = ProxyRequest(*address);
    EXPECT_EQ(FirstLine(request), GetParam().requestLine);
    EXPECT_EQ(HostHeader(request), GetParam().host);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProxyRequestTarget,
    ::testing::Values(
        Target{"server", "GET http://server/ HTTP/1.1", "server"},
        Target{"10.0.0.7/", "GET http://10.0.0.7/ HTTP/1.1", "10.0.0.7"},
        Target{"server:80/a", "GET http://server/a HTTP/1.1", "server"},
        Target{"server:8080/status", "GET http://server:8080/status HTTP/1.1", "server:8080"},
        Target{"server?q=1", "GET http://server/?q=1 HTTP/1.1", "server"},
        Target{"server/a b/\xe9t\xe9", "GET http://server/a%20b/%E9t%E9 HTTP/1.1", "server"},
        Target{"server/x\r\nInjected: 1", "GET http://server/x%0D%0AInjected:%201 HTTP/1.1",
               "server"}));

TEST(ProxyRequest, RefusesAHostThatCannotBeSent)
{
    for (const char* host : {"bad host", "bad\r\nhost", "bad\x7fhost", ""}) {
        EXPECT_THROW(ProxyRequest({host, 80, "/"}), EIdURIException) << host;
        EXPECT_THROW(ConnectRequest({host, 443, "/"}), EIdURIException) << host;
    }
}

// The tunnel request names host and port only, the port even when it is the
// default one; the path stays a secret between the client and the server.
TEST(ConnectRequest, NamesHostAndPortOnly)
{
    EXPECT_EQ(ConnectRequest({"server", 443, "/private?q=1"}), "CONNECT server:443 HTTP/1.1\r\n"
                                                               "Host: server:443\r\n"
                                                               "\r\n");
    EXPECT_EQ(FirstLine(ConnectRequest({"server", 80, "/"})), "CONNECT server:80 HTTP/1.1");
}

} // namespace
} // namespace pelmora
