#include "core/monitor/engine/windows/echo_completion.h"

#include <winsock2.h>

#include <iphlpapi.h>

#include <gtest/gtest.h>

namespace pelmora {
namespace {

struct CompletionCase {
    const char* name;
    EchoFamily family;
    unsigned long ipStatus;
    std::uint32_t optionsSize;
    ReplyKind kind;
    std::uint8_t messageType;
    std::uint32_t byteCount;
};

// Address and TTL of the completion are those of the replying host or of
// the reporting router; the byte counts are those of the datagram on the
// wire, IP header included.
const CompletionCase kAnswers[] = {
    {"EchoReply", EchoFamily::V4, IP_SUCCESS, 0, ReplyKind::EchoReply, 0, 72},
    {"EchoReplyWithOptions", EchoFamily::V4, IP_SUCCESS, 8, ReplyKind::EchoReply, 0, 80},
    {"NetUnreachable", EchoFamily::V4, IP_DEST_NET_UNREACHABLE, 0, ReplyKind::Unreachable, 3, 100},
    {"HostUnreachable", EchoFamily::V4, IP_DEST_HOST_UNREACHABLE, 0, ReplyKind::Unreachable, 3,
     100},
    {"ProtocolUnreachable", EchoFamily::V4, IP_DEST_PROT_UNREACHABLE, 0, ReplyKind::Unreachable, 3,
     100},
    {"PortUnreachable", EchoFamily::V4, IP_DEST_PORT_UNREACHABLE, 0, ReplyKind::Unreachable, 3,
     100},
    {"TtlExpiredInTransit", EchoFamily::V4, IP_TTL_EXPIRED_TRANSIT, 0, ReplyKind::TtlExpired, 11,
     100},
    {"TtlExpiredInReassembly", EchoFamily::V4, IP_TTL_EXPIRED_REASSEM, 0, ReplyKind::TtlExpired, 11,
     100},
    {"EchoReply6", EchoFamily::V6, IP_SUCCESS, 0, ReplyKind::EchoReply, 129, 92},
    {"NoRoute6", EchoFamily::V6, IP_DEST_NO_ROUTE, 0, ReplyKind::Unreachable, 1, 140},
    {"Prohibited6", EchoFamily::V6, IP_DEST_PROHIBITED, 0, ReplyKind::Unreachable, 1, 140},
    {"BeyondScope6", EchoFamily::V6, IP_DEST_SCOPE_MISMATCH, 0, ReplyKind::Unreachable, 1, 140},
    {"HopLimitExceeded6", EchoFamily::V6, IP_HOP_LIMIT_EXCEEDED, 0, ReplyKind::TtlExpired, 3, 140},
};

class AnswerCompletion : public testing::TestWithParam<CompletionCase> {};

TEST_P(AnswerCompletion, TellsKindTypeSizeAndTheReplyingAddress)
{
    const CompletionCase& c = GetParam();
    EchoCompletion completion;
    completion.family = c.family;
    completion.ipStatus = c.ipStatus;
    completion.source = c.family == EchoFamily::V6 ? "2001:db8::1" : "198.51.100.2";
    completion.ttl = c.family == EchoFamily::V6 ? 0 : 63;
    completion.optionsSize = c.optionsSize;
    completion.dataSize = static_cast<std::uint32_t>(kEchoDataSize);

    const std::optional<TReplyStatus> status = ReplyStatusOf(completion, 3490);

    ASSERT_TRUE(status);
    EXPECT_EQ(status->Status, c.kind);
    EXPECT_EQ(status->MessageType, c.messageType);
    EXPECT_EQ(status->ByteCount, c.byteCount);
    EXPECT_EQ(status->SourceAddress, completion.source);
    EXPECT_EQ(status->Ttl, completion.ttl);
    EXPECT_EQ(status->SequenceNumber, 3490);
}

INSTANTIATE_TEST_SUITE_P(IpStatus, AnswerCompletion, testing::ValuesIn(kAnswers),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(TimedOutCompletion, IsTheTimeoutStatusWhateverTheBufferHeld)
{
    for (const EchoFamily family : {EchoFamily::V4, EchoFamily::V6}) {
        EchoCompletion completion;
        completion.family = family;
        completion.ipStatus = IP_REQ_TIMED_OUT;
        completion.source = "127.0.0.1";
        completion.ttl = 64;
        completion.dataSize = 44;

        const std::optional<TReplyStatus> status = ReplyStatusOf(completion, 7);

        ASSERT_TRUE(status);
        EXPECT_EQ(status->Status, ReplyKind::TimedOut);
        EXPECT_EQ(status->SourceAddress, "0.0.0.0");
        EXPECT_EQ(status->Ttl, 0);
        EXPECT_EQ(status->ByteCount, 0U);
        EXPECT_EQ(status->MessageType, 0);
        EXPECT_EQ(status->SequenceNumber, 7);
    }
}

TEST(FailedCompletion, IsNoReplyStatus)
{
    for (const unsigned long ipStatus : std::initializer_list<unsigned long>{
             IP_GENERAL_FAILURE, IP_BAD_DESTINATION, IP_BUF_TOO_SMALL, IP_NO_RESOURCES,
             IP_PARAM_PROBLEM, IP_SOURCE_QUENCH, IP_PACKET_TOO_BIG, IP_BAD_ROUTE}) {
        EchoCompletion completion;
        completion.ipStatus = ipStatus;
        EXPECT_FALSE(ReplyStatusOf(completion, 1)) << ipStatus;
    }
}

TEST(Ipv4Text, IsDottedDecimalInWireOrder)
{
    EXPECT_EQ(Ipv4Text(0x0100007FU), "127.0.0.1");
    EXPECT_EQ(Ipv4Text(0xFF00000AU), "10.0.0.255");
    EXPECT_EQ(Ipv4Text(0), "0.0.0.0");
}

} // namespace
} // namespace pelmora
