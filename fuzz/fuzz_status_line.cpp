// A proxy's answer, fed in pieces of any size: the reader must decide
// without fault and give the same verdict however the bytes are split.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/monitor/http/status_line_reader.h"

using pelmora::StatusLineReader;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) {
        return 0;
    }
    const std::size_t step = (data[0] % 16) + 1;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    StatusLineReader whole;
    const StatusLineReader::Result once = whole.Feed(bytes);

    StatusLineReader pieces;
    StatusLineReader::Result result = StatusLineReader::Result::NeedMore;
    for (std::size_t at = 0; at < bytes.size() && result == StatusLineReader::Result::NeedMore;
         at += step) {
        result = pieces.Feed(bytes.substr(at, step));
    }
    if (result != once ||
        (once == StatusLineReader::Result::Complete && whole.StatusCode() != pieces.StatusCode())) {
        __builtin_trap();
    }
    return 0;
}
