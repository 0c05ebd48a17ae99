#include <gtest/gtest.h>

#include "core/monitor/net/ip_address.h"
#include "core/monitor/net/name_lookup.h"
#include "core/monitor/net/probe_errors.h"
#include "core/monitor/net/resolve_host.h"
#include "core/monitor/net/socket_error.h"
#include "core/monitor/net/stop_signal.h"
#include "core/monitor/net/windows/winsock_session.h"

namespace pelmora {
namespace {

// Winsock's codes are native: what WSAGetLastError says is the message's
// code as it stands. Closing no socket fails without sending anything.
TEST(WinsockWindows, TheLastErrorIsWinsocksOwnCodeAndText)
{
    EnsureWinsock();
    ASSERT_NE(::closesocket(kNoSocket), 0);
    const int error = LastSocketError();
    EXPECT_EQ(error, WSAENOTSOCK);
    EXPECT_EQ(WinsockCode(WSAECONNREFUSED), 10061);
    try {
        ThrowSocketError(error);
        FAIL() << "no error thrown";
    } catch (const EIdSocketError& failure) {
        EXPECT_EQ(failure.Code(), 10038);
        EXPECT_STREQ(failure.what(), "Socket Error # 10038\r\nSocket operation on non-socket.");
    }
}

// Names the resolver answers from the hosts file and literals it only
// parses, so no query leaves the machine.
TEST(WinsockWindows, LocalhostAndLiteralsResolveWithTheSameResultsAsOnLinux)
{
    const struct {
        const char* host;
        const char* address;
    } cases[] = {
        {"LOCALHOST", "127.0.0.1"},
        {"192.0.2.7", "192.0.2.7"},
        {"010.1.1.1", "10.1.1.1"},
        {"2001:DB8::0:1", "2001:db8::1"},
        {"::1", "::1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AddressText(ResolveHost(c.host)), c.address) << c.host;
    }
    const auto local = LookUpFirstAddress("localhost");
    ASSERT_TRUE(local.has_value()) << "GetAddrInfoW found no localhost";
    EXPECT_TRUE(AddressText(*local) == "127.0.0.1" || AddressText(*local) == "::1")
        << AddressText(*local);
    try {
        ResolveHost("");
        FAIL() << "an empty name resolved";
    } catch (const EIdSocketError& failure) {
        EXPECT_STREQ(failure.what(), "Socket Error # 11001\r\nHost not found.");
    }
}

// The engine waits on the signal's event among its sockets' events.
TEST(WinsockWindows, TheStopSignalIsAnEventThatStaysSignalled)
{
    StopSignal stop;
    EXPECT_EQ(::WaitForSingleObject(stop.Handle(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    stop.Raise();
    const HANDLE handles[] = {stop.Handle(), stop.Handle()};
    EXPECT_EQ(::WaitForMultipleObjects(1, handles, FALSE, 0), WAIT_OBJECT_0);
    EXPECT_EQ(::WaitForSingleObject(stop.Handle(), 0), WAIT_OBJECT_0);
}

} // namespace
} // namespace pelmora
