#pragma once

#include <string_view>

class QWidget;

namespace pelmora {

// Tells the user of an error that no operation handles: an error box with
// the program's name as title and the error's message.
void ShowErrorBox(QWidget* owner, std::string_view message);

} // namespace pelmora
