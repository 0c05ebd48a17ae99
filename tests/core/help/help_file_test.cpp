#include "core/help/help_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <sstream>

#include "support/source_dir.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

using test::TempDir;
using test::WriteFile;

// A topic in one line per block: "P", "B" or "L", then the text, with each
// cross-reference written as <number:text>.
std::string Describe(const HelpTopic& topic)
{
    std::ostringstream out;
    out << topic.title;
    for (const HelpBlock& block : topic.blocks) {
        out << '\n'
            << (block.kind == HelpBlockKind::Paragraph ? "P "
                : block.kind == HelpBlockKind::Bullet  ? "B "
                                                       : "L ");
        for (const HelpSpan& span : block.spans) {
            if (span.link == 0) {
                out << span.text;
            } else {
                out << '<' << span.link << ':' << span.text << '>';
            }
        }
    }
    return out.str();
}

std::string Problems(const HelpFile& file)
{
    std::ostringstream out;
    for (const HelpProblem& problem : file.problems) {
        out << "line " << problem.line << ": " << problem.message << '\n';
    }
    return out.str();
}

std::string WithCrLf(const std::string& text)
{
    std::string result;
    for (const char c : text) {
        if (c == '\n') {
            result += '\r';
        }
        result += c;
    }
    return result;
}

constexpr const char* kSample = "; Sample help\n"
                                "[1] Contents\n"
                                "Start with {2}, or read {5|the About box}.\n"
                                "\n"
                                "[2] The pop-up\n"
                                "A small window\n"
                                "  near the clock.\n"
                                "\n"
                                "Second paragraph.\n"
                                "- first item\n"
                                "  goes on here\n"
                                "- second {1|back}\n"
                                "Still the second item.\n"
                                "\n"
                                "| [View]\n"
                                "|   FontSize=10\n"
                                "|\n"
                                "After the example.\n"
                                "\n"
                                "[5]   About   \n"
                                "{ plain braces } and {2}{1} side by side\n";

TEST(HelpFileParse, ReadsTitlesParagraphsBulletsLiteralsAndCrossReferences)
{
    const std::string sampleWithBom = "\xEF\xBB\xBF" + std::string(kSample);
    for (const std::string& text : {std::string(kSample), WithCrLf(kSample), sampleWithBom}) {
        const HelpFile file = ParseHelpFile(text);
        EXPECT_EQ(Problems(file), "");
        ASSERT_EQ(file.topics.size(), 3u);
        EXPECT_EQ(Describe(*file.Find(1)),
                  "Contents\n"
                  "P Start with <2:The pop-up>, or read <5:the About box>.");
        EXPECT_EQ(Describe(*file.Find(2)), "The pop-up\n"
                                           "P A small window near the clock.\n"
                                           "P Second paragraph.\n"
                                           "B first item goes on here\n"
                                           "B second <1:back> Still the second item.\n"
                                           "L [View]\n  FontSize=10\n\n"
                                           "P After the example.");
        EXPECT_EQ(Describe(*file.Find(5)),
                  "About\n"
                  "P { plain braces } and <2:The pop-up><1:Contents> side by side");
        EXPECT_EQ(file.Find(5)->number, 5);
        EXPECT_EQ(file.Find(3), nullptr);
        EXPECT_EQ(file.Find(0), nullptr);
        EXPECT_EQ(file.Find(-1), nullptr);
    }
}

TEST(HelpFileParse, EmptyOrCommentOnlyFilesHaveNoTopicsAndNoProblems)
{
    for (const char* text : {"", "\n\n", "\r\n", "; only a comment\n;another", "\xEF\xBB\xBF"}) {
        const HelpFile file = ParseHelpFile(text);
        EXPECT_TRUE(file.topics.empty()) << text;
        EXPECT_EQ(Problems(file), "") << text;
    }
}

// A bad header must not let its text run into the topic before it: the
// lines up to the next good header are skipped, and the author is told.
TEST(HelpFileParse, SkipsBadHeadersWithTheirTextAndReportsThem)
{
    const struct {
        const char* header;
    } cases[] = {{"[x] Letters"},       {"[0] Zero is no context"},
                 {"[-3] Negative"},     {"[+3] Signed"},
                 {"[3 Unclosed"},       {"[] Empty"},
                 {"[ 3] Blank inside"}, {"[99999999999] Too big"},
                 {"[Topic 3] Words"}};
    for (const auto& c : cases) {
        const std::string text =
            std::string("[1] One\nfirst\n") + c.header + "\nlost text\n[2] Two\nsecond\n";
        const HelpFile file = ParseHelpFile(text);
        ASSERT_EQ(file.topics.size(), 2u) << c.header;
        EXPECT_EQ(Describe(*file.Find(1)), "One\nP first") << c.header;
        EXPECT_EQ(Describe(*file.Find(2)), "Two\nP second") << c.header;
        ASSERT_EQ(file.problems.size(), 1u) << c.header;
        EXPECT_EQ(file.problems[0].line, 3u) << c.header;
        EXPECT_NE(file.problems[0].message.find("not a topic header"), std::string::npos);
    }
}

TEST(HelpFileParse, ReportsWhatItHadToSkipOrGuess)
{
    const HelpFile file = ParseHelpFile("stray text before any topic\n"
                                        "more stray text\n"
                                        "[1] One\n"
                                        "see {7} and {2|two}\n"
                                        "[2]\n"
                                        "untitled\n"
                                        "[1] One again\n"
                                        "ignored\n"
                                        "[3] Three\n"
                                        "broken {12 and {4x} but {braces} are fine\n");
    EXPECT_EQ(Problems(file), "line 1: text before the first topic header is ignored\n"
                              "line 5: topic 2 has no title\n"
                              "line 7: topic 1 appears twice; the first one stands\n"
                              "line 10: broken cross-reference; write {number} or {number|text}\n"
                              "line 10: broken cross-reference; write {number} or {number|text}\n"
                              "line 4: topic 1 refers to topic 7, which does not exist\n");
    // A reference to a missing topic is left as text, never as a dead link.
    EXPECT_EQ(Describe(*file.Find(1)), "One\nP see topic 7 and <2:two>");
    EXPECT_EQ(Describe(*file.Find(2)), "\nP untitled");
    EXPECT_EQ(Describe(*file.Find(3)), "Three\nP broken {12 and {4x} but {braces} are fine");
}

TEST(HelpFileLoad, ReadsARegularFileAndNothingElse)
{
    TempDir dir;
    EXPECT_FALSE(LoadHelpFile(dir / "missing.hlp"));
    EXPECT_FALSE(LoadHelpFile(dir.Path()));

    WriteFile(dir / "good.hlp", "[4] Four\ntext\n");
    const std::optional<HelpFile> good = LoadHelpFile(dir / "good.hlp");
    ASSERT_TRUE(good);
    EXPECT_EQ(Describe(*good->Find(4)), "Four\nP text");

    // A file far larger than any help file is not read into memory.
    WriteFile(dir / "huge.hlp", "[4] Four\n");
    std::filesystem::resize_file(dir / "huge.hlp", kMaxHelpFileBytes + 1);
    EXPECT_FALSE(LoadHelpFile(dir / "huge.hlp"));
}

// The help file we ship: it parses cleanly, has the topics the program
// opens, and every other topic can be reached from the contents.
TEST(ShippedHelpFile, HasTheProgramsTopicsAllReachableFromTheContents)
{
    const std::filesystem::path path = test::kSourceDir / "Help" / "PELMORA.HLP";
    const std::optional<HelpFile> file = LoadHelpFile(path);
    ASSERT_TRUE(file) << path;
    EXPECT_EQ(Problems(*file), "");
    for (const int context : {1, 2, 3, 5}) {
        ASSERT_NE(file->Find(context), nullptr) << "topic " << context;
    }

    std::set<int> reached{1};
    std::vector<int> pending{1};
    while (!pending.empty()) {
        const HelpTopic* topic = file->Find(pending.back());
        pending.pop_back();
        ASSERT_NE(topic, nullptr);
        EXPECT_FALSE(topic->title.empty());
        EXPECT_FALSE(topic->blocks.empty()) << "topic " << topic->number;
        for (const HelpBlock& block : topic->blocks) {
            for (const HelpSpan& span : block.spans) {
                if (span.link != 0 && reached.insert(span.link).second) {
                    pending.push_back(span.link);
                }
            }
        }
    }
    for (const auto& [number, topic] : file->topics) {
        EXPECT_TRUE(reached.contains(number)) << "topic " << number << " cannot be reached";
    }

    std::string lower = test::ReadFile(path);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    EXPECT_EQ(lower.find("specification"), std::string::npos);
}

} // namespace
} // namespace pelmora
