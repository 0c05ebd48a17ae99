#include "core/monitor/http/status_line_reader.h"

#include "core/base/char_class.h"

namespace pelmora {
namespace {

constexpr std::string_view kName = "HTTP/";

// Reason phrases are blanks, tabs, visible characters and bytes above 0x7F.
bool IsReasonByte(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte == '\t' || (byte >= 0x20 && byte != 0x7F);
}

} // namespace

StatusLineReader::Result StatusLineReader::Feed(std::string_view bytes)
{
    for (const char c : bytes) {
        if (step_ == Step::Done || step_ == Step::Failed) {
            break;
        }
        step_ = ++taken_ > kMaxBytes ? Step::Failed : Next(c);
    }
    switch (step_) {
    case Step::Done: return Result::Complete;
    case Step::Failed: return Result::Malformed;
    default: return Result::NeedMore;
    }
}

StatusLineReader::Step StatusLineReader::Next(char c)
{
    switch (step_) {
    case Step::Name:
        if (c != kName[index_]) {
            return Step::Failed;
        }
        return ++index_ == kName.size() ? Step::Major : Step::Name;
    case Step::Major: return IsAsciiDigit(c) ? Step::Dot : Step::Failed;
    case Step::Dot: return c == '.' ? Step::Minor : Step::Failed;
    case Step::Minor: return IsAsciiDigit(c) ? Step::BlankBeforeCode : Step::Failed;
    case Step::BlankBeforeCode: index_ = 0; return c == ' ' ? Step::Code : Step::Failed;
    case Step::Code:
        if (!IsAsciiDigit(c)) {
            return Step::Failed;
        }
        code_ = code_ * 10 + (c - '0');
        if (++index_ < 3) {
            return Step::Code;
        }
        return code_ >= 100 && code_ <= 599 ? Step::AfterCode : Step::Failed;
    case Step::AfterCode:
        if (c == ' ') {
            return Step::Reason;
        }
        [[fallthrough]];
    case Step::Reason:
        if (c == '\r') {
            return Step::LineFeed;
        }
        if (c == '\n') {
            return Step::Done;
        }
        return step_ == Step::Reason && IsReasonByte(c) ? Step::Reason : Step::Failed;
    case Step::LineFeed: return c == '\n' ? Step::Done : Step::Failed;
    case Step::Done:
    case Step::Failed: break;
    }
    return step_;
}

} // namespace pelmora
