#include "core/i18n/comma_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelmora {
namespace {

TEST(CommaText, SplitsLikeAStringListReadsItsCommaText)
{
    using Items = std::vector<std::string>;
    const struct {
        std::string_view text;
        Items items;
    } cases[] = {
        {"Host list,View", {"Host", "list", "View"}},
        {"", {}},
        {" \t ", {}},
        {"a,", {"a", ""}},
        {",", {"", ""}},
        {"a,,b", {"a", "", "b"}},
        {"a , b", {"a", "b"}},
        {"a, ", {"a"}},
        {R"("Host list",View)", {"Host list", "View"}},
        {R"("say ""hi""",x)", {R"(say "hi")", "x"}},
        {R"("")", {""}},
        {R"("",)", {"", ""}},
        {R"("ab"cd)", {"ab", "cd"}},
        {R"("never closed)", {"never closed"}},
        {R"("ends in a doubled mark"")", {R"(ends in a doubled mark")"}},
        {std::string_view("\t a\x01 b\n\0c", 9), {"a", "b", "c"}},
        {"Überwachung,Проверка", {"Überwachung", "Проверка"}},
        {R"("a" , ,b)", {"a", "", "b"}},
    };
    for (const auto& [text, items] : cases) {
        EXPECT_EQ(SplitCommaText(text), items) << '[' << text << ']';
    }
}

} // namespace
} // namespace pelmora
