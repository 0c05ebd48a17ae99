#include "core/i18n/translation_key.h"

#include <gtest/gtest.h>

#include "core/i18n/form_section.h"

namespace pelmora {
namespace {

TEST(TranslationKey, KeysParseIntoTheirFormsOrNone)
{
    const struct {
        std::string_view key;
        bool parses;
        KeyForm form;
        std::string_view component;
        std::string_view property;
        std::int32_t index;
    } cases[] = {
        {"Caption", true, KeyForm::Name, "Caption", "", 0},
        {"_x9", true, KeyForm::Name, "_x9", "", 0},
        {"btnAddIP.Hint", true, KeyForm::Property, "btnAddIP", "Hint", 0},
        {"BTNADDIP.HINT", true, KeyForm::Property, "BTNADDIP", "HINT", 0},
        {"lbSettings.Items(2)", true, KeyForm::ListString, "lbSettings", "Items", 2},
        {"lbSettings.Items(  $A)rest", true, KeyForm::ListString, "lbSettings", "Items", 10},
        {"a.b(1).c(2)", true, KeyForm::ListString, "a", "b", 1},
        {"lbSettings(2)", true, KeyForm::Item, "lbSettings", "Items", 2},
        {"lbSettings(0x1F)", true, KeyForm::Item, "lbSettings", "Items", 31},
        {"lbSettings(-1)", true, KeyForm::Item, "lbSettings", "Items", -1},
        {"lbSettings(\t+3)", true, KeyForm::Item, "lbSettings", "Items", 3},
        {"lb(1).x", true, KeyForm::Item, "lb", "Items", 1},
        {"lb(1)(2)", true, KeyForm::Item, "lb", "Items", 1},
        // Nested properties are not reached.
        {"btnOK.Font.Name", false, {}, "", "", 0},
        {"btnOK.Font.Name(1)", false, {}, "", "", 0},
        // The list form needs "(" before ")" after the first ".".
        {"lbSettings.Items)2(", false, {}, "", "", 0},
        {"lbSettings.Items(2", false, {}, "", "", 0},
        {"lbSettings.(2)", false, {}, "", "", 0},
        {"x.", false, {}, "", "", 0},
        // Indexes: profile notation after blanks, nothing after the number.
        {"lbSettings(x)", false, {}, "", "", 0},
        {"lbSettings()", false, {}, "", "", 0},
        {"lbSettings(1 )", false, {}, "", "", 0},
        {"lbSettings(99999999999)", false, {}, "", "", 0},
        {"lbSettings(1", false, {}, "", "", 0},
        {"(1)", false, {}, "", "", 0},
        {"a)(1)", false, {}, "", "", 0},
        {".x(1)", false, {}, "", "", 0},
        {"1abc", false, {}, "", "", 0},
        {"", false, {}, "", "", 0},
        {"кнопка", false, {}, "", "", 0},
        {"btn-OK", false, {}, "", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        const auto parsed = ParseTranslationKey(c.key);
        ASSERT_EQ(parsed.has_value(), c.parses);
        if (parsed) {
            EXPECT_EQ(parsed->form, c.form);
            EXPECT_EQ(parsed->component, c.component);
            EXPECT_EQ(parsed->property, c.property);
            EXPECT_EQ(parsed->index, c.index);
        }
    }
}

TEST(TranslationKey, FurtherCopiesOfAWindowShareTheFirstCopysSection)
{
    const struct {
        std::string_view window;
        std::string_view section;
    } cases[] = {
        {"frmAddHost", "frmAddHost"},
        {"frmAddHost_1", "frmAddHost"},
        {"frmAddHost_99", "frmAddHost"},
        {"frmAddHost_01", "frmAddHost"},
        {"frmAddHost_100", "frmAddHost_100"},
        {"frmAddHost_", "frmAddHost_"},
        {"frm_a1", "frm_a1"},
        {"frm__12", "frm_"},
        {"_1", ""},
        {"_12", ""},
        {"1", "1"},
        {"", ""},
    };
    for (const auto& [window, section] : cases) {
        EXPECT_EQ(FormSectionName(window), section) << window;
    }
}

} // namespace
} // namespace pelmora
