#include "gui/help/help_context.h"

#include <QAction>
#include <QVariant>
#include <QWidget>

namespace pelmora {
namespace {

constexpr const char* kProperty = "helpContext";

int ContextIn(const QObject* object)
{
    return object == nullptr ? 0 : object->property(kProperty).toInt();
}

} // namespace

void SetHelpContext(QWidget* widget, int context)
{
    widget->setProperty(kProperty, context);
}

void SetHelpContext(QAction* action, int context)
{
    action->setProperty(kProperty, context);
}

int HelpContextOf(const QWidget* widget)
{
    return ContextIn(widget);
}

int HelpContextOf(const QAction* action)
{
    return ContextIn(action);
}

int HelpContextFor(const QWidget* widget)
{
    for (const QWidget* at = widget; at != nullptr; at = at->parentWidget()) {
        if (const int context = HelpContextOf(at); context > 0) {
            return context;
        }
        if (at->isWindow()) {
            break;
        }
    }
    return 0;
}

} // namespace pelmora
