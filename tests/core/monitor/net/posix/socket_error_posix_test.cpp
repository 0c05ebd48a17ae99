#include <gtest/gtest.h>

#include <cerrno>

#include "core/monitor/net/probe_errors.h"
#include "core/monitor/net/socket_error.h"

namespace pelmora {
namespace {

TEST(SocketError, ErrnoMapsToWinsockCodes)
{
    EXPECT_EQ(WinsockCode(ECONNREFUSED), 10061);
    EXPECT_EQ(WinsockCode(ETIMEDOUT), 10060);
    EXPECT_EQ(WinsockCode(EHOSTUNREACH), 10065);
    EXPECT_EQ(WinsockCode(ENETUNREACH), 10051);
    EXPECT_EQ(WinsockCode(EMSGSIZE), 10040);
    EXPECT_EQ(WinsockCode(EPERM), 10013);
    try {
        ThrowSocketError(ECONNRESET);
        FAIL() << "no error thrown";
    } catch (const EIdSocketError& error) {
        EXPECT_EQ(error.Code(), 10054);
        EXPECT_STREQ(error.what(), "Socket Error # 10054\r\nConnection reset by peer.");
    }
}

} // namespace
} // namespace pelmora
