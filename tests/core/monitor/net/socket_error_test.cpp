#include "core/monitor/net/socket_error.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "core/monitor/net/probe_errors.h"

namespace pelmora {
namespace {

TEST(SocketError, MessagesKeepWinsockCodesAndTexts)
{
    EXPECT_EQ(SocketErrorMessage(10061), "Socket Error # 10061\r\nConnection refused.");
    EXPECT_EQ(SocketErrorMessage(11001), "Socket Error # 11001\r\nHost not found.");
    EXPECT_EQ(SocketErrorMessage(10035), "Socket Error # 10035\r\nOperation would block. ");
    EXPECT_EQ(SocketErrorMessage(10066), "Socket Error # 10066\r\nDirectory not empty");
    EXPECT_EQ(SocketErrorMessage(4242), "Socket Error # 4242\r\n");
}

TEST(SocketError, ErrnoMapsToWinsockCodes)
{
    EXPECT_EQ(WinsockCodeFromErrno(ECONNREFUSED), 10061);
    EXPECT_EQ(WinsockCodeFromErrno(ETIMEDOUT), 10060);
    EXPECT_EQ(WinsockCodeFromErrno(EHOSTUNREACH), 10065);
    EXPECT_EQ(WinsockCodeFromErrno(ENETUNREACH), 10051);
    EXPECT_EQ(WinsockCodeFromErrno(EMSGSIZE), 10040);
    EXPECT_EQ(WinsockCodeFromErrno(EPERM), 10013);
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
