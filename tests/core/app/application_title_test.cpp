#include "core/app/application_title.h"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

TEST(ApplicationTitle, FileNameCutAtFirstFullStopAndLowerCasedAfterTheFirstCharacter)
{
    struct Case {
        const char* path;
        const char* title;
    };
    for (const Case& c : {Case{"/opt/tamsel/Pelmora", "Pelmora"}, Case{"Pelmora.exe", "Pelmora"},
                          Case{"/x/PELMORA.EXE", "Pelmora"}, Case{"PelMora", "Pelmora"},
                          Case{"/x/Pelmora.new.exe", "Pelmora"}, Case{"/x/pelmora", "pelmora"},
                          Case{"/x.y/Tool", "Tool"}, Case{".hidden", ""}}) {
        EXPECT_EQ(ApplicationTitle(c.path), c.title) << c.path;
    }
}

} // namespace
} // namespace pelmora
