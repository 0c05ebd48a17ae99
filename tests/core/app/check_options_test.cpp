#include "core/app/check_options.h"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

TEST(CheckOptions, ReadsEveryOptionInBothSpellings)
{
    const auto parsed = ParseCheckOptions({"--config", "a.ini", "--language=Deutsch", "--cycles",
                                           "3", "--interval=0", "-v", "--list"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.config, "a.ini");
    EXPECT_EQ(parsed.options.language, "Deutsch");
    EXPECT_EQ(parsed.options.cycles, 3);
    EXPECT_EQ(parsed.options.intervalMs, 0);
    EXPECT_TRUE(parsed.options.verbose);
    EXPECT_TRUE(parsed.options.list);

    const auto defaults = ParseCheckOptions({});
    EXPECT_EQ(defaults.error, "");
    EXPECT_EQ(defaults.options.cycles, 1);
    EXPECT_FALSE(defaults.options.intervalMs);
    EXPECT_FALSE(defaults.options.language);
}

TEST(CheckOptions, RejectsWhatItCannotUse)
{
    struct Case {
        std::vector<std::string> args;
        const char* error;
    };
    for (const Case& c :
         {Case{{"--cycles", "0"}, "option --cycles needs a whole number from 1, not '0'"},
          Case{{"--interval", "-1"}, "option --interval needs a whole number from 0, not '-1'"},
          Case{{"--interval", "1e3"}, "option --interval needs a whole number from 0, not '1e3'"},
          Case{{"--language"}, "option --language needs a value"},
          Case{{"--list=yes"}, "option --list takes no value"},
          Case{{"extra"}, "unknown option 'extra'"},
          Case{{"-q", "-v"}, "--quiet and --verbose exclude each other"}}) {
        EXPECT_EQ(ParseCheckOptions(c.args).error, c.error) << c.args.front();
    }
}

} // namespace
} // namespace pelmora
