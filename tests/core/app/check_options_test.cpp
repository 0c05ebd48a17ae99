#include "core/app/check_options.h"

#include <gtest/gtest.h>

#include "core/config/settings.h"

namespace pelmora {
namespace {

TEST(CheckOptions, ReadsEveryOptionInBothSpellings)
{
    const auto parsed =
        ParseCheckOptions({"--config", "a.ini", "--language=Deutsch", "--cycles", "3",
                           "--interval=0", "-v", "--list", "--parallel", "8", "--attempts=3"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.config, "a.ini");
    EXPECT_EQ(parsed.options.language, "Deutsch");
    EXPECT_EQ(parsed.options.cycles, 3);
    EXPECT_EQ(parsed.options.intervalMs, 0);
    EXPECT_TRUE(parsed.options.verbose);
    EXPECT_TRUE(parsed.options.list);
    Settings settings;
    ApplyOverrides(parsed.options, settings);
    EXPECT_EQ(settings.parallelChecks, 8U);
    EXPECT_EQ(settings.attempts, 3);

    const auto defaults = ParseCheckOptions({});
    EXPECT_EQ(defaults.error, "");
    EXPECT_EQ(defaults.options.cycles, 1);
    EXPECT_FALSE(defaults.options.intervalMs);
    EXPECT_FALSE(defaults.options.language);
    EXPECT_TRUE(defaults.options.overrides.empty());
    EXPECT_EQ(defaults.options.format, CheckFormat::Text);
    EXPECT_EQ(defaults.options.output, "");
}

TEST(CheckOptions, FormatNamesTheOutputAndOutputItsFile)
{
    const struct {
        std::vector<std::string> args;
        CheckFormat format;
        const char* output;
    } cases[] = {
        {{"--format", "text"}, CheckFormat::Text, ""},
        {{"--format=json"}, CheckFormat::Json, ""},
        {{"--format", "openmetrics", "--output", "/var/lib/x/p.prom"},
         CheckFormat::OpenMetrics,
         "/var/lib/x/p.prom"},
        {{"--output=p.json", "--format=json"}, CheckFormat::Json, "p.json"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front());
        const auto parsed = ParseCheckOptions(c.args);
        ASSERT_EQ(parsed.error, "");
        EXPECT_EQ(parsed.options.format, c.format);
        EXPECT_EQ(parsed.options.output, c.output);
    }
}

TEST(CheckOptions, AttemptsTakesOnlyAWholeNumberFromOneToTen)
{
    const struct {
        const char* value;
        std::optional<int> parsed; // empty: refused
    } cases[] = {
        {"1", 1},   {"10", 10},  {"02", 2}, {"0", {}}, {"11", {}},
        {"-1", {}}, {"2.5", {}}, {"", {}},  {"x", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        const auto result = ParseCheckOptions({"--attempts", c.value});
        if (c.parsed) {
            EXPECT_EQ(result.error, "");
            Settings settings;
            ApplyOverrides(result.options, settings);
            EXPECT_EQ(settings.attempts, c.parsed);
        } else {
            EXPECT_EQ(result.error, std::string("option --attempts needs a whole number from 1 "
                                                "to 10, not '") +
                                        c.value + "'");
        }
    }
    EXPECT_EQ(ParseCheckOptions({"--attempts"}).error, "option --attempts needs a value");
}

TEST(CheckOptions, ParallelTakesOnlyAWholeNumberFromOneTo100000)
{
    const struct {
        const char* value;
        std::optional<std::size_t> parsed; // empty: refused
    } cases[] = {
        {"1", 1},     {"1000", 1000}, {"100000", 100000}, {"007", 7},
        {"0", {}},    {"100001", {}}, {"-5", {}},         {"+5", {}},
        {"5.0", {}},  {"1e3", {}},    {" 5", {}},         {"$10", {}},
        {"0x10", {}}, {"", {}},       {"abc", {}},        {"99999999999999999999", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        for (const auto& args : {std::vector<std::string>{"--parallel", c.value},
                                 std::vector<std::string>{std::string("--parallel=") + c.value}}) {
            const auto result = ParseCheckOptions(args);
            if (c.parsed) {
                EXPECT_EQ(result.error, "");
                Settings settings;
                ApplyOverrides(result.options, settings);
                EXPECT_EQ(settings.parallelChecks, c.parsed);
            } else {
                EXPECT_EQ(result.error, std::string("option --parallel needs a whole number from "
                                                    "1 to 100000, not '") +
                                            c.value + "'");
            }
        }
    }
    EXPECT_EQ(ParseCheckOptions({"--parallel"}).error, "option --parallel needs a value");
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
          Case{{"-q", "-v"}, "--quiet and --verbose exclude each other"},
          Case{{"--format", "JSON"}, "option --format needs text, json or openmetrics, not 'JSON'"},
          Case{{"--format="}, "option --format needs text, json or openmetrics, not ''"},
          Case{{"--format"}, "option --format needs a value"},
          Case{{"--output="}, "option --output needs a file name"},
          Case{{"--output", "m.prom"}, "--output needs --format json or openmetrics"},
          Case{{"--format=json", "--output", "m", "--format", "text"},
               "--output needs --format json or openmetrics"}}) {
        EXPECT_EQ(ParseCheckOptions(c.args).error, c.error) << c.args.front();
    }
}

} // namespace
} // namespace pelmora
