#include "core/base/char_class.h"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

TEST(CharClass, EachClassTakesItsBytesOnly)
{
    const struct {
        char c;
        bool digit;
        bool blank;
        bool blankOrCr;
        bool lineSpace;
        bool controlOrSpace;
    } cases[] = {
        {'0', true, false, false, false, false},
        {'9', true, false, false, false, false},
        {'/', false, false, false, false, false}, // just below '0'
        {':', false, false, false, false, false}, // just above '9'
        {' ', false, true, true, true, true},
        {'\t', false, true, true, true, true},
        {'\r', false, false, true, true, true},
        {'\v', false, false, false, true, true},
        {'\f', false, false, false, true, true},
        {'\n', false, false, false, false, true},
        {'\0', false, false, false, false, true},
        {'\x1F', false, false, false, false, true},
        {'!', false, false, false, false, false},
        {'\x7F', false, false, false, false, false},
        // Bytes above 0x7F are negative chars here; none is a control.
        {'\xA0', false, false, false, false, false},
        {'\xFF', false, false, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(static_cast<unsigned char>(c.c)));
        EXPECT_EQ(IsAsciiDigit(c.c), c.digit);
        EXPECT_EQ(IsBlank(c.c), c.blank);
        EXPECT_EQ(IsBlankOrCr(c.c), c.blankOrCr);
        EXPECT_EQ(IsLineSpace(c.c), c.lineSpace);
        EXPECT_EQ(IsControlOrSpace(c.c), c.controlOrSpace);
    }
}

TEST(CharClass, TrimsDropOnlyTheirEnds)
{
    EXPECT_EQ(TrimControlsAndSpaces(" \t\r\n\x01 a b \x1F\n"), "a b");
    EXPECT_EQ(TrimControlsAndSpaces(" \t\n"), "");
    EXPECT_EQ(TrimControlsAndSpaces(""), "");
    EXPECT_EQ(TrimControlsAndSpaces("\xA0x\xA0"), "\xA0x\xA0");
    EXPECT_EQ(TrimStart(" \tx \t", IsBlank), "x \t");
    EXPECT_EQ(TrimEnd(" \tx \t\r", IsBlankOrCr), " \tx");
    EXPECT_EQ(Trim("\v x\f\r", IsLineSpace), "x");
    EXPECT_EQ(Trim("\nx\n", IsLineSpace), "\nx\n");
}

} // namespace
} // namespace pelmora
