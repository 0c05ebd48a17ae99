#include "core/monitor/icmp/icmp_packet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "icmp_datagrams.h"

namespace pelmora {
namespace {

using test::Address;
using test::Bytes;

// ---- checksum and request ----

TEST(InternetChecksum, MatchesKnownSums)
{
    struct Case {
        const char* name;
        Bytes bytes;
        std::uint16_t checksum;
    };
    const std::vector<Case> cases = {
        {"RFC 1071 example", {0x00, 0x01, 0xF2, 0x03, 0xF4, 0xF5, 0xF6, 0xF7}, 0x220D},
        {"odd length pads with zero", {0x00, 0x01, 0xF2}, 0x0DFE},
        {"nothing", {}, 0xFFFF},
        {"carries fold back in", Bytes(1000, 0xFF), 0x0000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(InternetChecksum(c.bytes.data(), c.bytes.size()), c.checksum) << c.name;
    }
}

TEST(BuildEchoRequest, LaysOutTheFiftyTwoBytes)
{
    const EchoRequest request = BuildEchoRequest(0x1234, 3489, 0xA1B2C3D4, "");

    const Bytes header(request.begin(), request.begin() + 20);
    const Bytes expectedHeader = {8,    0,    request[2], request[3], 0x34, 0x12, 0xA1,
                                  0x0D, 0xD4, 0xC3,       0xB2,       0xA1, 0,    0,
                                  0,    0,    0,          0,          0,    0};
    EXPECT_EQ(header, expectedHeader);
    for (std::size_t i = 20; i < request.size(); ++i) {
        EXPECT_EQ(request[i], 0x45) << "byte " << i;
    }
    EXPECT_EQ(InternetChecksum(request.data(), request.size()), 0);
}

TEST(BuildEchoRequest, PayloadTextFillsFromByteTwentyAndIsCutAtThirtyTwo)
{
    const EchoRequest shortText = BuildEchoRequest(1, 2, 3, "abc");
    EXPECT_EQ(std::string(shortText.begin() + 20, shortText.begin() + 23), "abc");
    EXPECT_EQ(shortText[23], 0x45);
    EXPECT_EQ(InternetChecksum(shortText.data(), shortText.size()), 0);

    const std::string longText(40, 'x');
    const EchoRequest longRequest = BuildEchoRequest(1, 2, 3, longText);
    EXPECT_EQ(std::string(longRequest.begin() + 20, longRequest.end()), std::string(32, 'x'));
}

// ---- examining received datagrams ----

constexpr std::uint16_t kIdentifier = 0x1234;
constexpr std::uint16_t kSequence = 3489;

class ExamineDatagramTest : public ::testing::Test {
protected:
    const in_addr us = Address("127.0.0.1");
    const in_addr target = Address("127.0.0.9");
    const in_addr router = Address("127.0.0.254");
    const EchoExpectation expected{target, kIdentifier, kSequence};

    Bytes RequestIcmp(std::uint16_t identifier = kIdentifier,
                      std::uint16_t sequence = kSequence) const
    {
        const EchoRequest request = BuildEchoRequest(identifier, sequence, 77, "");
        return {request.begin(), request.end()};
    }
    Bytes Request(in_addr to) const { return test::IpDatagram(us, to, 128, RequestIcmp()); }
    Bytes Request() const { return Request(target); }
    Bytes Reply(std::uint16_t identifier = kIdentifier, std::uint16_t sequence = kSequence) const
    {
        return test::IpDatagram(target, us, 64,
                                test::EchoMessage(0, identifier, sequence, Bytes(44, 0x45)));
    }
    Bytes ReportOf(std::uint8_t type, const Bytes& quoted) const
    {
        return test::IpDatagram(router, us, 250, test::Report(type, 1, quoted));
    }

    // Copies into a buffer of exactly the datagram's size, so that the
    // sanitizer build catches any read past its end.
    std::optional<IcmpAnswer> Examine(const Bytes& datagram,
                                      const DatagramFraming& framing = {}) const
    {
        const std::vector<std::uint8_t> exact(datagram.begin(), datagram.end());
        return ExamineDatagram(exact.empty() ? nullptr : exact.data(), exact.size(), expected,
                               framing);
    }
};

// Adds four option bytes to the IP header at the front of `datagram`.
Bytes WithHeaderOptions(Bytes datagram)
{
    datagram[0] = 0x46;
    datagram.insert(datagram.begin() + 20, {1, 1, 1, 0});
    return datagram;
}

TEST_F(ExamineDatagramTest, EchoReplyToOurRequest)
{
    const auto answer = Examine(Reply());
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, ReplyKind::EchoReply);
    EXPECT_EQ(answer->messageType, 0);
    EXPECT_EQ(answer->sequence, kSequence);
    EXPECT_EQ(answer->ttl, 64);
    EXPECT_EQ(answer->source, IpAddress(target));
    EXPECT_EQ(answer->byteCount, 72U);
}

TEST_F(ExamineDatagramTest, ReportsQuotingOurRequestComeFromTheReporter)
{
    struct Case {
        const char* name;
        Bytes datagram;
        ReplyKind status;
        std::uint8_t type;
    };
    Bytes firstEightBytesOnly = Request();
    firstEightBytesOnly.resize(28);
    const std::vector<Case> cases = {
        {"unreachable", ReportOf(3, Request()), ReplyKind::Unreachable, 3},
        {"time exceeded", ReportOf(11, Request()), ReplyKind::TtlExpired, 11},
        {"quote of header and 8 bytes", ReportOf(3, firstEightBytesOnly), ReplyKind::Unreachable,
         3},
        {"quoted header with options", ReportOf(3, WithHeaderOptions(Request())),
         ReplyKind::Unreachable, 3},
        {"report header with options", WithHeaderOptions(ReportOf(11, Request())),
         ReplyKind::TtlExpired, 11},
    };
    for (const Case& c : cases) {
        const auto answer = Examine(c.datagram);
        ASSERT_TRUE(answer) << c.name;
        EXPECT_EQ(answer->status, c.status) << c.name;
        EXPECT_EQ(answer->messageType, c.type) << c.name;
        EXPECT_EQ(answer->source, IpAddress(router)) << c.name;
        EXPECT_EQ(answer->ttl, 250) << c.name;
        EXPECT_EQ(answer->sequence, kSequence) << c.name;
        EXPECT_EQ(answer->byteCount, c.datagram.size()) << c.name;
    }
}

TEST_F(ExamineDatagramTest, EverythingElseIsNotOurs)
{
    Bytes badChecksum = Reply();
    badChecksum.back() ^= 0x01;
    Bytes quotedUdp = Request();
    quotedUdp[9] = 17;
    Bytes quotedShortHeader = Request();
    quotedShortHeader[0] = 0x44;
    Bytes quotedHeaderBeyondQuote = Request();
    quotedHeaderBeyondQuote.resize(28);
    quotedHeaderBeyondQuote[0] = 0x4F;
    Bytes truncatedQuote = Request();
    truncatedQuote.resize(27);
    Bytes shortHeader = Reply();
    shortHeader[0] = 0x44;
    Bytes headerBeyondDatagram = Reply();
    headerBeyondDatagram.resize(40);
    headerBeyondDatagram[0] = 0x4F;
    Bytes headerOnly = Reply();
    headerOnly.resize(20);
    const Bytes quotedReply = test::IpDatagram(
        us, target, 64, test::EchoMessage(0, kIdentifier, kSequence, Bytes(44, 0x45)));

    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"reply from another host", test::IpDatagram(router, us, 64, test::IcmpPart(Reply()))},
        {"reply to another program", Reply(0x4321)},
        {"late reply to the previous request", Reply(kIdentifier, kSequence - 1)},
        {"reply with a bad checksum", badChecksum},
        {"our own request on loopback", Request()},
        {"redirect quoting our request", ReportOf(5, Request())},
        {"timestamp", test::IpDatagram(target, us, 64, test::IcmpMessage(13, 0, Bytes(16, 0)))},
        {"report on a request to another host", ReportOf(3, Request(router))},
        {"report on another program's request",
         ReportOf(3, test::IpDatagram(us, target, 128, RequestIcmp(0x4321)))},
        {"report on the previous request",
         ReportOf(3, test::IpDatagram(us, target, 128, RequestIcmp(kIdentifier, kSequence - 1)))},
        {"report on a UDP datagram", ReportOf(3, quotedUdp)},
        {"report quoting a reply", ReportOf(3, quotedReply)},
        {"quoted header below 5 words", ReportOf(3, quotedShortHeader)},
        {"quoted header beyond the quote", ReportOf(3, quotedHeaderBeyondQuote)},
        {"quote without the whole echo header", ReportOf(3, truncatedQuote)},
        {"header below 5 words", shortHeader},
        {"header beyond the datagram", headerBeyondDatagram},
        {"no bytes", {}},
        {"one byte", {0x45}},
        {"IP header only", headerOnly},
    };
    for (const auto& [name, datagram] : cases) {
        EXPECT_FALSE(Examine(datagram)) << name;
    }
}

TEST_F(ExamineDatagramTest, OnlyTheRightHeaderLengthMatches)
{
    for (std::uint8_t words = 0; words < 16; ++words) {
        Bytes reply = Reply();
        reply[0] = static_cast<std::uint8_t>(0x40 | words);
        EXPECT_EQ(Examine(reply).has_value(), words == 5) << "reply, header words " << int{words};

        Bytes quote = Request();
        quote[0] = static_cast<std::uint8_t>(0x40 | words);
        EXPECT_EQ(Examine(ReportOf(3, quote)).has_value(), words == 5)
            << "quote, header words " << int{words};
    }
}

TEST_F(ExamineDatagramTest, EveryTruncationIsReadSafely)
{
    const Bytes reply = Reply();
    for (std::size_t length = 0; length < reply.size(); ++length) {
        EXPECT_FALSE(
            Examine(Bytes(reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(length))))
            << "reply cut to " << length;
    }
    // A report needs its header, its ICMP header, the quoted IP header and
    // the quoted echo header; the rest of the quote may be missing.
    const Bytes report = ReportOf(3, Request());
    for (std::size_t length = 0; length < report.size(); ++length) {
        const bool whole = length >= 20 + 8 + 20 + 8;
        EXPECT_EQ(
            Examine(Bytes(report.begin(), report.begin() + static_cast<std::ptrdiff_t>(length)))
                .has_value(),
            whole)
            << "report cut to " << length;
    }
}

TEST_F(ExamineDatagramTest, WithoutIpHeaderTheSocketTellsSourceAndTtl)
{
    const Bytes reply = test::IcmpPart(Reply());
    DatagramFraming fromTarget{false, target, 63};

    const auto answer = Examine(reply, fromTarget);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, ReplyKind::EchoReply);
    EXPECT_EQ(answer->source, IpAddress(target));
    EXPECT_EQ(answer->ttl, 63);
    EXPECT_EQ(answer->byteCount, 72U) << "the IP header counts as it does on a raw socket";

    DatagramFraming fromRouter{false, router, 63};
    EXPECT_FALSE(Examine(reply, fromRouter));
    for (std::size_t length = 0; length < reply.size(); ++length) {
        EXPECT_FALSE(Examine(
            Bytes(reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(length)), fromTarget))
            << "cut to " << length;
    }
}

// ---- reports from a datagram socket's error queue ----

TEST_F(ExamineDatagramTest, ErrorQueueReportsQuotingOurRequest)
{
    const Bytes request = RequestIcmp();
    const auto report = [&](std::uint8_t type, in_addr quotedDestination, const Bytes& quoted) {
        ErrorQueueReport r;
        r.type = type;
        r.reporter = router;
        r.ttl = 250;
        r.quotedDestination = quotedDestination;
        r.quoted = quoted.data();
        r.quotedLength = quoted.size();
        return ExamineErrorQueueReport(r, expected);
    };

    const auto unreachable = report(3, target, request);
    ASSERT_TRUE(unreachable);
    EXPECT_EQ(unreachable->status, ReplyKind::Unreachable);
    EXPECT_EQ(unreachable->messageType, 3);
    EXPECT_EQ(unreachable->source, IpAddress(router));
    EXPECT_EQ(unreachable->ttl, 250);
    EXPECT_EQ(unreachable->byteCount, ReportOf(3, Request()).size())
        << "the same count as the report read on a raw socket";
    const auto expired = report(11, target, request);
    ASSERT_TRUE(expired);
    EXPECT_EQ(expired->status, ReplyKind::TtlExpired);

    const Bytes reply = test::EchoMessage(0, kIdentifier, kSequence, {});
    const std::vector<std::pair<const char*, std::optional<IcmpAnswer>>> notOurs = {
        {"redirect", report(5, target, request)},
        {"request to another host", report(3, router, request)},
        {"another program's request", report(3, target, RequestIcmp(0x4321))},
        {"the previous request", report(3, target, RequestIcmp(kIdentifier, kSequence - 1))},
        {"a quoted reply", report(3, target, reply)},
        {"a quote short of the echo header",
         report(3, target, Bytes(request.begin(), request.begin() + 7))},
    };
    for (const auto& [name, answer] : notOurs) {
        EXPECT_FALSE(answer) << name;
    }
}

} // namespace
} // namespace pelmora
