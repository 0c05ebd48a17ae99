#include "core/monitor/report/time_picture.h"

namespace pelmora {
namespace {

void AddLiteral(std::string& out, char c)
{
    out += c;
    if (c == '%') {
        out += '%';
    }
}

// How many times the character at `at` repeats from there.
std::size_t RunLength(std::string_view text, std::size_t at)
{
    std::size_t end = at;
    while (end < text.size() && text[end] == text[at]) {
        ++end;
    }
    return end - at;
}

} // namespace

std::string StrftimeFromTimePicture(std::string_view picture)
{
    std::string out;
    for (std::size_t i = 0; i < picture.size();) {
        const char c = picture[i];
        if (c == '\'') {
            // Quoted text up to the closing quote; two quotes are one.
            for (++i; i < picture.size(); ++i) {
                if (picture[i] == '\'') {
                    if (i + 1 < picture.size() && picture[i + 1] == '\'') {
                        AddLiteral(out, '\'');
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                AddLiteral(out, picture[i]);
            }
            continue;
        }
        const std::size_t run = RunLength(picture, i);
        switch (c) {
        case 'h': out += run == 1 ? "%l" : "%I"; break;
        case 'H': out += run == 1 ? "%k" : "%H"; break;
        case 'm': out += "%M"; break;
        case 's': out += "%S"; break;
        case 't': out += "%p"; break;
        default:
            for (std::size_t k = 0; k < run; ++k) {
                AddLiteral(out, c);
            }
            break;
        }
        i += run;
    }
    return out;
}

} // namespace pelmora
