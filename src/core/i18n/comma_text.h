#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

// Splits a language file's value into the strings of a list, the way a
// string list reads its comma text:
// - blanks and control characters before an item are skipped;
// - an item that starts with '"' runs to the matching closing mark, two marks
//   inside standing for one (a mark that is never closed runs to the end);
// - any other item runs up to the next comma, blank or control character;
// - after an item, blanks are skipped and one comma is consumed; a comma at
//   the very end adds an empty last item.
// So "Host list,View" gives Host, list and View.
std::vector<std::string> SplitCommaText(std::string_view text);

} // namespace pelmora
