#include "gui/app/pelmora_application.h"

#include <exception>

#include "core/base/error_message.h"
#include "gui/config/error_box.h"

namespace pelmora {

bool PelmoraApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowErrorBox(nullptr, ErrorMessage(std::current_exception()));
    }
    return false;
}

} // namespace pelmora
