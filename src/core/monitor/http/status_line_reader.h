#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pelmora {

// Reads the status line that opens an HTTP answer, from bytes handed in as
// they arrive, in pieces of any size:
//   "HTTP/" digit "." digit, a blank, three digits from 100 to 599, then
//   either a blank and a reason phrase or at once the line end (CR LF, or a
//   bare LF).
// Anything else is malformed, and so is a line that has not ended within
// kMaxBytes bytes: a proxy that talks something else, or talks without end,
// is found out without waiting for it. Bytes after the line are not looked at.
class StatusLineReader {
public:
    enum class Result { NeedMore, Complete, Malformed };

    static constexpr std::size_t kMaxBytes = 512;

    Result Feed(std::string_view bytes);
    // The status code, once Feed has returned Complete.
    int StatusCode() const { return code_; }

private:
    enum class Step : std::uint8_t {
        Name,
        Major,
        Dot,
        Minor,
        BlankBeforeCode,
        Code,
        AfterCode,
        Reason,
        LineFeed,
        Done,
        Failed
    };

    Step Next(char c);

    Step step_ = Step::Name;
    std::size_t taken_ = 0;
    // Position within "HTTP/" while reading the name, digits read of the code.
    std::size_t index_ = 0;
    int code_ = 0;
};

} // namespace pelmora
