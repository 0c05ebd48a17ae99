#include "core/base/windows/system_error_text.h"

#include <string_view>

#include "core/base/windows/wide_text.h"

namespace pelmora {

std::string SystemErrorText(DWORD error)
{
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring_view wide(text, length);
    while (!wide.empty() && (wide.back() == L'\r' || wide.back() == L'\n' || wide.back() == L' ')) {
        wide.remove_suffix(1);
    }
    std::string message = wide.empty() ? "Error " + std::to_string(error) : Utf8FromWide(wide);
    ::LocalFree(text);
    return message;
}

} // namespace pelmora
