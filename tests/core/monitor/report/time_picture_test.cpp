#include "core/monitor/report/time_picture.h"

#include <gtest/gtest.h>

#include <string>

#include "core/monitor/report/time_of_day.h"

namespace pelmora {
namespace {

// Pictures as Windows locales have them, each at 21:05:07 and 09:05:07.
TEST(TimePicture, WindowsPicturesGiveTheLocalesTimeOfDay)
{
    const struct {
        const char* picture;
        const char* am;
        const char* pm;
        std::string evening;
        std::string morning;
    } cases[] = {
        {"h:mm:ss tt", "AM", "PM", "9:05:07 PM", "9:05:07 AM"},         // en-US
        {"HH:mm:ss", "", "", "21:05:07", "09:05:07"},                   // de-DE
        {"H:mm:ss", "", "", "21:05:07", "9:05:07"},                     // en-AU style
        {"H.mm.ss", "", "", "21.05.07", "9.05.07"},                     // fi-FI
        {"tt h:mm:ss", "오전", "오후", "오후 9:05:07", "오전 9:05:07"}, // ko-KR
        {"hh:mm:ss tt", "a.m.", "p.m.", "09:05:07 p.m.", "09:05:07 a.m."},
        {"HH' h 'mm' min 'ss' s'", "", "", "21 h 05 min 07 s", "09 h 05 min 07 s"},
        {"HH:mm", "", "", "21:05:07", "09:05:07"}, // seconds always shown
        {"'100%' HH:mm:ss", "", "", "21:05:07", "09:05:07"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.picture);
        const LocaleTimeTexts texts{StrftimeFromTimePicture(c.picture), {}, c.am, c.pm};
        EXPECT_EQ(FormatTimeOfDay(texts, {21, 5, 7}), c.evening);
        EXPECT_EQ(FormatTimeOfDay(texts, {9, 5, 7}), c.morning);
    }
}

TEST(TimePicture, QuotedTextAndPercentSignsStayLiteral)
{
    EXPECT_EQ(StrftimeFromTimePicture("HH'h'mm"), "%Hh%M");
    EXPECT_EQ(StrftimeFromTimePicture("HH 'o''clock' %"), "%H o'clock %%");
    EXPECT_EQ(StrftimeFromTimePicture("'unclosed h"), "unclosed h");
}

} // namespace
} // namespace pelmora
