#include "core/base/path_text.h"

namespace pelmora {

std::filesystem::path PathFromUtf8(std::string_view text)
{
    return std::u8string(text.begin(), text.end());
}

std::string Utf8OfPath(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

} // namespace pelmora
