#include "core/monitor/net/socket_error.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace pelmora
