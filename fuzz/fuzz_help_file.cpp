// The help file ships with the program but can be edited or replaced: any
// text must parse without fault.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/help/help_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const pelmora::HelpFile help =
        pelmora::ParseHelpFile(std::string_view(reinterpret_cast<const char*>(data), size));
    for (int context = 0; context < 8; ++context) {
        static_cast<void>(help.Find(context));
    }
    return 0;
}
