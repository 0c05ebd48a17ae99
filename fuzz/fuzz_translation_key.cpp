// Language files are downloaded and edited by hand: every key and value of a
// window's section goes through the key grammar and the comma-text reader.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/i18n/comma_text.h"
#include "core/i18n/form_section.h"
#include "core/i18n/translation_key.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto key = pelmora::ParseTranslationKey(text)) {
        if (!pelmora::IsIdentifier(key->component) && !key->component.empty()) {
            __builtin_trap();
        }
    }
    static_cast<void>(pelmora::SplitCommaText(text));
    static_cast<void>(pelmora::FormSectionName(text));
    return 0;
}
