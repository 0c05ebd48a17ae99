#include <string>

#include <gtest/gtest.h>

#include "core/monitor/http/status_line_reader.h"

namespace pelmora {
namespace {

using Result = StatusLineReader::Result;

struct Line {
    std::string bytes;
    Result result;
    int code = 0;
};

void PrintTo(const Line& line, std::ostream* out)
{
    *out << ::testing::PrintToString(line.bytes);
}

class StatusLineTest : public ::testing::TestWithParam<Line> {};

// The same answer whether the bytes come at once or one by one.
TEST_P(StatusLineTest, ReadsTheSameInAnyPieces)
{
    const Line& line = GetParam();
    StatusLineReader whole;
    EXPECT_EQ(whole.Feed(line.bytes), line.result);

    StatusLineReader piecewise;
    Result last = piecewise.Feed("");
    for (const char c : line.bytes) {
        last = piecewise.Feed(std::string(1, c));
    }
    EXPECT_EQ(last, line.result);

    if (line.result == Result::Complete) {
        EXPECT_EQ(whole.StatusCode(), line.code);
        EXPECT_EQ(piecewise.StatusCode(), line.code);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Complete, StatusLineTest,
    ::testing::Values(Line{"HTTP/1.1 200 OK\r\n", Result::Complete, 200},
                      Line{"HTTP/1.0 407 Proxy Authentication Required\r\n", Result::Complete, 407},
                      Line{"HTTP/1.1 503 \r\n", Result::Complete, 503},
                      Line{"HTTP/1.1 504\r\n", Result::Complete, 504},
                      Line{"HTTP/1.1 100 Continue\n", Result::Complete, 100},
                      Line{"HTTP/1.1 599 x\ty\x80\xff\r\n", Result::Complete, 599},
                      // What follows the line is not looked at.
                      Line{"HTTP/1.1 302 Found\r\n\x01 anything", Result::Complete, 302}));

INSTANTIATE_TEST_SUITE_P(Incomplete, StatusLineTest,
                         ::testing::Values(Line{"", Result::NeedMore},
                                           Line{"HTT", Result::NeedMore},
                                           Line{"HTTP/1.1 2", Result::NeedMore},
                                           Line{"HTTP/1.1 200", Result::NeedMore},
                                           Line{"HTTP/1.1 200 OK", Result::NeedMore},
                                           Line{"HTTP/1.1 200 OK\r", Result::NeedMore}));

INSTANTIATE_TEST_SUITE_P(Malformed, StatusLineTest,
                         ::testing::Values(Line{"http/1.1 200 OK\r\n", Result::Malformed},
                                           Line{"\r\nHTTP/1.1 200 OK\r\n", Result::Malformed},
                                           Line{"SSH-2.0-OpenSSH\r\n", Result::Malformed},
                                           Line{"HTTP/11 200 OK\r\n", Result::Malformed},
                                           Line{"HTTP/1.1  200 OK\r\n", Result::Malformed},
                                           Line{"HTTP/1.1 20 OK\r\n", Result::Malformed},
                                           Line{"HTTP/1.1 2000 OK\r\n", Result::Malformed},
                                           Line{"HTTP/1.1 099 Low\r\n", Result::Malformed},
                                           Line{"HTTP/1.1 600 High\r\n", Result::Malformed},
                                           Line{"HTTP/1.1 200OK\r\n", Result::Malformed},
                                           Line{"HTTP/1.1 200 OK\rX\n", Result::Malformed},
                                           Line{std::string("HTTP/1.1 200 O\0K\r\n", 18),
                                                Result::Malformed}));

TEST(StatusLineLimit, ALineMustEndWithinTheByteLimit)
{
    const std::string start = "HTTP/1.1 200 ";
    const std::size_t reasonFits = StatusLineReader::kMaxBytes - start.size() - 2;

    StatusLineReader fits;
    EXPECT_EQ(fits.Feed(start + std::string(reasonFits, 'x') + "\r\n"), Result::Complete);

    // One byte more and the line feed lies beyond the limit.
    StatusLineReader tooLong;
    EXPECT_EQ(tooLong.Feed(start + std::string(reasonFits + 1, 'x') + "\r"), Result::NeedMore);
    EXPECT_EQ(tooLong.Feed("\n"), Result::Malformed);
}

TEST(StatusLineLimit, NothingChangesOnceDecided)
{
    StatusLineReader done;
    ASSERT_EQ(done.Feed("HTTP/1.1 204 No Content\r\n"), Result::Complete);
    EXPECT_EQ(done.Feed("HTTP/1.1 500 Oops\r\n"), Result::Complete);
    EXPECT_EQ(done.StatusCode(), 204);

    StatusLineReader failed;
    ASSERT_EQ(failed.Feed("X"), Result::Malformed);
    EXPECT_EQ(failed.Feed("HTTP/1.1 200 OK\r\n"), Result::Malformed);
}

} // namespace
} // namespace pelmora
