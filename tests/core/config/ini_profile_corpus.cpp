#include "ini_profile_corpus.h"

#include <random>
#include <string_view>

namespace pelmora::test {
namespace {

// The engine's own random numbers: std::mt19937 is the same everywhere,
// the standard distributions are not.
class Dice {
public:
    explicit Dice(std::uint32_t seed) : engine_(seed) {}
    std::size_t Below(std::size_t n) { return engine_() % n; }
    bool OneIn(std::size_t n) { return Below(n) == 0; }
    template <typename T> const T& Pick(const std::vector<T>& items)
    {
        return items[Below(items.size())];
    }

private:
    std::mt19937 engine_;
};

const std::vector<std::string> kBlanks{"", "", "", " ", "  ", "\t", " \t "};

std::string Blank(Dice& dice)
{
    return dice.Pick(kBlanks);
}

std::string Value(Dice& dice)
{
    static const std::vector<std::string> values{"10.0.0.1",
                                                 "http://10.0.0.7/ 10.0.0.1:3128",
                                                 "a b  c",
                                                 "\"Arial Narrow\"",
                                                 "'single'",
                                                 "\"open",
                                                 "close\"",
                                                 "'mixed\"",
                                                 "\"\"",
                                                 "''",
                                                 "\"",
                                                 R"("a" b "c")",
                                                 "",
                                                 "a=b",
                                                 "value ; not a comment",
                                                 "x # y",
                                                 "0x3E8",
                                                 "[not a header]",
                                                 "tab\there",
                                                 "  inner  "};
    if (dice.OneIn(100)) {
        return {std::string(20000, 'w')};
    }
    if (dice.OneIn(25)) {
        return {std::string(2040 + dice.Below(20), 'v')};
    }
    return dice.Pick(values);
}

std::string Name(Dice& dice, const std::vector<std::string>& names)
{
    return Blank(dice) + dice.Pick(names) + Blank(dice);
}

std::string HeaderLine(Dice& dice)
{
    const std::string name = dice.Pick(CorpusSectionNames());
    static const std::vector<std::string> tails{"", "", "", " ; note", "junk", "]", " [x]"};
    switch (dice.Below(8)) {
    case 0: return Blank(dice) + "[" + name; // no closing bracket
    case 1: return "[" + Blank(dice) + name + Blank(dice) + "]";
    case 2: return "[" + name + "]" + dice.Pick(tails);
    default: return Blank(dice) + "[" + name + "]" + Blank(dice);
    }
}

std::string KeyLine(Dice& dice)
{
    std::string key = dice.OneIn(15) ? std::string() : Name(dice, CorpusKeyNames());
    if (dice.OneIn(40)) {
        key = std::string(300 + dice.Below(200), 'K');
    }
    return Blank(dice) + key + "=" + Blank(dice) + Value(dice) + Blank(dice);
}

std::string OtherLine(Dice& dice)
{
    static const std::vector<std::string> others{"",
                                                 "   ",
                                                 "\t",
                                                 "; comment",
                                                 "  ; indented comment",
                                                 ";Item0=commented",
                                                 "# hash",
                                                 "#Item1=hashed",
                                                 "  #FontName=hashed",
                                                 "no equals sign",
                                                 "[broken",
                                                 " [HostList",
                                                 "[",
                                                 "[]",
                                                 "]",
                                                 "=",
                                                 "==",
                                                 "\"Item0\"=quoted name",
                                                 "Item0 x=spaced name"};
    return dice.Pick(others);
}

std::string LineEnd(Dice& dice, std::size_t style)
{
    switch (style) {
    case 0: return "\n";
    case 1: return "\r\n";
    default: return dice.OneIn(2) ? "\n" : "\r\n";
    }
}

ProfileWrite Write(Dice& dice)
{
    // Sections are named as the program names them; keys may carry blanks.
    ProfileWrite write;
    write.section = dice.Pick(CorpusSectionNames());
    if (dice.OneIn(5)) {
        return write; // erases the section
    }
    write.key = Name(dice, CorpusKeyNames());
    write.value = dice.Pick(std::vector<std::string>{"new", "a b", "", " padded "});
    return write;
}

} // namespace

const std::vector<std::string>& CorpusSectionNames()
{
    static const std::vector<std::string> names{
        "HostList", "hostlist", "HOSTLIST", "View", "view", "CheckParams", "General", "a b", "x"};
    return names;
}

const std::vector<std::string>& CorpusKeyNames()
{
    static const std::vector<std::string> names{"Item0",    "item0",    "ITEM0",    "Item1",
                                                "Item2",    "FontName", "fontsize", "CheckPeriod",
                                                "Language", "a b"};
    return names;
}

std::vector<HandEditedIni> HandEditedInis(std::uint32_t seed, std::size_t count)
{
    Dice dice(seed);
    std::vector<HandEditedIni> files;
    files.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t style = dice.Below(3);
        std::string text;
        const std::size_t lines = 1 + dice.Below(16);
        for (std::size_t n = 0; n < lines; ++n) {
            // Mostly key lines, and a header now and then; the first line
            // is often a key, which then stands before any section.
            const std::size_t kind = dice.Below(10);
            const std::string line = kind < 3   ? HeaderLine(dice)
                                     : kind < 8 ? KeyLine(dice)
                                                : OtherLine(dice);
            text += line;
            if (n + 1 < lines || !dice.OneIn(4)) {
                text += LineEnd(dice, style);
            }
        }
        files.push_back({std::move(text), Write(dice)});
    }
    return files;
}

} // namespace pelmora::test
